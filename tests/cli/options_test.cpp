#include "cli/options.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sstream>
#include <string>
#include <vector>

#include "fifteen/version.h"

namespace fifteen::cli {
namespace {

struct Parsed {
    std::optional<int> code;
    CliOptions options;
    std::string out;
    std::string err;
};

Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "fifteen-solve");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    Parsed parsed;
    std::ostringstream out;
    std::ostringstream err;
    parsed.code =
        parseOptions(static_cast<int>(argv.size()), argv.data(), parsed.options, out, err);
    parsed.out = out.str();
    parsed.err = err.str();
    return parsed;
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int code;
};

// Test names show the row name instead of the bytes of the row.
void PrintTo(const UsageCase& row, std::ostream* os) {
    *os << row.name;
}

class BadUsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(BadUsageTest, EndsWithTheDocumentedCodeAndAMessage) {
    const Parsed parsed = parse(GetParam().args);
    ASSERT_TRUE(parsed.code.has_value());
    EXPECT_EQ(*parsed.code, GetParam().code);
    // One line, naming the program.
    EXPECT_EQ(parsed.err.rfind("fifteen-solve: ", 0), 0u) << parsed.err;
    EXPECT_EQ(parsed.err.find('\n'), parsed.err.size() - 1) << parsed.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadUsageTest,
    testing::Values(
        UsageCase{"unknownOption", {"--fast"}, exitBadInput},
        UsageCase{"zeroThreads", {"--threads", "0"}, exitBadInput},
        UsageCase{"negativeThreads", {"--threads=-2"}, exitBadInput},
        UsageCase{"threadsNotANumber", {"--threads", "many"}, exitBadInput},
        UsageCase{"threadsMissing", {"--threads"}, exitBadInput},
        UsageCase{"moreThreadsThanFrontierNodes", {"--threads", "1001"}, exitBadInput},
        UsageCase{"unknownFormat", {"--format", "xml"}, exitBadInput},
        UsageCase{"formatByNumber", {"--format", "1"}, exitBadInput},
        UsageCase{"formatInCapitals", {"--format", "JSON"}, exitBadInput},
        UsageCase{"unknownGoal", {"--goal", "blank-middle"}, exitBadInput},
        UsageCase{"negativeLineOffset", {"--line-offset=-1"}, exitBadInput},
        UsageCase{"missingFile", {"--file", "/nonexistent/positions.txt"}, exitBadInput},
        UsageCase{"unknownTables", {"--tables", "7+8"}, exitBadInput},
        UsageCase{"tablesInCapitals", {"--tables", "DEFAULT"}, exitBadInput},
        UsageCase{"tablesMissing", {"--tables"}, exitBadInput},
        UsageCase{"benchOnStrongerTables", {"--bench", "--tables", "7-8"}, exitBadInput},
        UsageCase{"buildTablesWithAPosition", {"--build-tables", "1 2 3"}, exitBadInput},
        UsageCase{"buildTablesWithBench", {"--build-tables", "--bench"}, exitBadInput},
        UsageCase{"buildTablesWithReview", {"--build-tables", "--review", "1"}, exitBadInput},
        UsageCase{
            "buildTablesOfTheDefault", {"--build-tables", "--tables", "default"}, exitBadInput}),
    [](const testing::TestParamInfo<UsageCase>& testCase) { return testCase.param.name; });

TEST(OptionsTest, HelpListsTheOptionsAndExitCodes) {
    const Parsed parsed = parse({"--help"});
    ASSERT_TRUE(parsed.code.has_value());
    EXPECT_EQ(*parsed.code, 0);
    for (const char* word :
         {"--threads", "--format", "--file", "--verify", "--bench", "--version", "130"}) {
        EXPECT_NE(parsed.out.find(word), std::string::npos) << word;
    }
    EXPECT_NE(parsed.out.find("--format text|json"), std::string::npos) << parsed.out;
    EXPECT_EQ(parsed.out.find("ENUM"), std::string::npos) << parsed.out;
}

TEST(OptionsTest, VersionNamesVersionAndRevision) {
    const Parsed parsed = parse({"--version"});
    ASSERT_TRUE(parsed.code.has_value());
    EXPECT_EQ(*parsed.code, 0);
    EXPECT_NE(parsed.out.find(versionString), std::string::npos) << parsed.out;
    EXPECT_NE(parsed.out.find(gitRevision), std::string::npos) << parsed.out;
}

TEST(OptionsTest, DefaultsWithNothingGiven) {
    const Parsed parsed = parse({});
    EXPECT_FALSE(parsed.code.has_value());
    EXPECT_TRUE(parsed.options.positions.empty());
    EXPECT_TRUE(parsed.options.file.empty());
    EXPECT_EQ(parsed.options.format, OutputFormat::text);
    EXPECT_EQ(parsed.options.threads, 0);
    EXPECT_FALSE(parsed.options.verify);
    EXPECT_FALSE(parsed.options.bench);
}

TEST(OptionsTest, EveryOptionLandsInItsField) {
    const Parsed parsed =
        parse({"--threads", "3", "--format", "json", "--verify", "1 2 3", "-", "4,5/6"});
    ASSERT_FALSE(parsed.code.has_value()) << parsed.err;
    EXPECT_EQ(parsed.options.threads, 3);
    EXPECT_EQ(parsed.options.format, OutputFormat::json);
    EXPECT_TRUE(parsed.options.verify);
    EXPECT_EQ(parsed.options.positions, (std::vector<std::string>{"1 2 3", "-", "4,5/6"}));
}

TEST(OptionsTest, FileAndBench) {
    // A file that exists on every system.
    const std::string file = ::testing::TempDir() + "fifteen_options_file";
    std::ofstream(file) << "";
    const Parsed parsed = parse({"--file", file, "--bench"});
    ASSERT_FALSE(parsed.code.has_value()) << parsed.err;
    EXPECT_EQ(parsed.options.file, file);
    EXPECT_TRUE(parsed.options.bench);
}

TEST(OptionsTest, GoalAndLineOffset) {
    EXPECT_FALSE(parse({}).options.goal.has_value());
    EXPECT_EQ(parse({}).options.lineOffset, 0);
    const Parsed parsed = parse({"--goal", "blank-first", "--line-offset", "5000"});
    ASSERT_FALSE(parsed.code.has_value()) << parsed.err;
    EXPECT_EQ(parsed.options.goal, Goal::blankFirst);
    EXPECT_EQ(parsed.options.lineOffset, 5000);
    EXPECT_EQ(parse({"--goal", "blank-last"}).options.goal, Goal::blankLast);
    // Verdicts and reviews are told in the input's numbering, so the goals combine.
    const Parsed combined = parse({"--goal", "blank-first", "--analyse", "--review", "1 2"});
    EXPECT_FALSE(combined.code.has_value());
    EXPECT_EQ(combined.options.goal, Goal::blankFirst);
    EXPECT_TRUE(combined.options.analyse);
}

TEST(OptionsTest, TablesWordsAndBuildTables) {
    EXPECT_EQ(parse({}).options.tables, TableChoice::defaultSet);
    const Parsed stronger = parse({"--tables", "7-8", "--analyse", "1 2 3"});
    ASSERT_FALSE(stronger.code.has_value()) << stronger.err;
    EXPECT_EQ(stronger.options.tables, TableChoice::stronger);
    EXPECT_STREQ(tableChoiceName(stronger.options.tables), "7-8");
    const Parsed byDefault = parse({"--tables=default", "--bench"});
    ASSERT_FALSE(byDefault.code.has_value()) << byDefault.err;
    EXPECT_EQ(byDefault.options.tables, TableChoice::defaultSet);
    EXPECT_STREQ(tableChoiceName(byDefault.options.tables), "default");
    for (const auto& args :
         {std::vector<std::string>{"--build-tables"},
          std::vector<std::string>{"--build-tables", "--tables", "7-8", "--threads", "1"}}) {
        const Parsed build = parse(args);
        ASSERT_FALSE(build.code.has_value()) << build.err;
        EXPECT_TRUE(build.options.buildTables);
        EXPECT_FALSE(parse({"--tables", "7-8"}).options.buildTables);
    }
    const Parsed help = parse({"--help"});
    EXPECT_NE(help.out.find("--tables default|7-8"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--build-tables"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace fifteen::cli
