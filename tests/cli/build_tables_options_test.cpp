// --build-tables solves nothing: every option that asks for a solve, or for the
// other tables, is refused beside it, while the same options alone are taken.
#include <gtest/gtest.h>

#include <fstream>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/options.h"

namespace fifteen::cli {
namespace {

struct Parsed {
    std::optional<int> code;
    CliOptions options;
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
    parsed.err = err.str();
    return parsed;
}

struct Pair {
    const char* name;
    std::vector<std::string> args;  // taken without --build-tables
};

void PrintTo(const Pair& row, std::ostream* os) {
    *os << row.name;
}

class BuildTablesBeside : public ::testing::TestWithParam<Pair> {};

// "@file" stands for a file that exists on every system.
std::vector<std::string> withFiles(std::vector<std::string> args) {
    for (std::string& arg : args) {
        if (arg != "@file") continue;
        arg = ::testing::TempDir() + "fifteen_build_tables_file";
        std::ofstream(arg) << "";
    }
    return args;
}

TEST_P(BuildTablesBeside, IsRefusedWhileTheOptionAloneIsTaken) {
    const Parsed alone = parse(withFiles(GetParam().args));
    ASSERT_FALSE(alone.code.has_value()) << alone.err;
    for (const bool first : {true, false}) {
        std::vector<std::string> args = withFiles(GetParam().args);
        args.insert(first ? args.begin() : args.end(), "--build-tables");
        const Parsed both = parse(args);
        ASSERT_TRUE(both.code.has_value()) << (first ? "first" : "last");
        EXPECT_EQ(*both.code, exitBadInput);
        EXPECT_EQ(both.err.rfind("fifteen-solve: --build-tables ", 0), 0u) << both.err;
        EXPECT_EQ(both.err.find('\n'), both.err.size() - 1) << both.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, BuildTablesBeside,
    ::testing::Values(Pair{"aPosition", {"1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15"}},
                      Pair{"standardInput", {"-"}}, Pair{"file", {"--file", "@file"}},
                      Pair{"bench", {"--bench"}}, Pair{"analyse", {"--analyse"}},
                      Pair{"review", {"--review", "15"}},
                      Pair{"reviewFromEachLine", {"--review", ":"}},
                      Pair{"defaultTables", {"--tables", "default"}}),
    [](const ::testing::TestParamInfo<Pair>& row) { return std::string(row.param.name); });

// What goes with a build: its threads, the tables it builds named again.
TEST(BuildTablesOptions, TakesThreadsAndItsOwnTables) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--build-tables", "--threads", "2"},
          std::vector<std::string>{"--tables", "7-8", "--build-tables"}}) {
        const Parsed parsed = parse(args);
        EXPECT_FALSE(parsed.code.has_value()) << parsed.err;
        EXPECT_TRUE(parsed.options.buildTables);
    }
}

}  // namespace
}  // namespace fifteen::cli
