// The desktop program's command line: what it runs with, what it answers at
// once, and what it refuses, with the words fifteen-solve takes for the options
// both share.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/desktop_options.h"
#include "cli/options.h"

namespace fifteen::cli {
namespace {

using Action = DesktopOptions::Action;

struct Case {
    std::vector<std::string> args;
    Action action;
    const char* errorHas;  // with refuse
};

class DesktopOptionsTest : public ::testing::TestWithParam<Case> {};

TEST_P(DesktopOptionsTest, AnswersRunsOrRefusesWithTheReason) {
    const Case& c = GetParam();
    const DesktopOptions options = parseDesktopOptions(c.args);
    EXPECT_EQ(options.action, c.action);
    if (c.action == Action::refuse) {
        EXPECT_NE(options.error.find(c.errorHas), std::string::npos) << options.error;
    } else {
        EXPECT_TRUE(options.error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DesktopOptionsTest,
    ::testing::Values(Case{{}, Action::run, ""}, Case{{"--version"}, Action::version, ""},
                      Case{{"--tables", "7-8", "--help"}, Action::help, ""},
                      Case{{"--bogus"}, Action::refuse, "'--bogus'"},
                      Case{{"--tables"}, Action::refuse, "needs a value"},
                      Case{{"--tables", "8-7"}, Action::refuse, "'8-7'"},
                      Case{{"--parallel", "many"}, Action::refuse, "'many'"},
                      Case{{"position.txt"}, Action::refuse, "'position.txt'"},
#ifdef _WIN32
                      // The Windows dialog takes no options of one dash.
                      Case{{"-platform", "offscreen"}, Action::refuse, "'-platform'"},
                      Case{{"--tables", "default", "-reverse"}, Action::refuse, "'-reverse'"}));
#else
                      // The window system's own options pass, with their values.
                      Case{{"-platform", "offscreen", "--reset-settings"}, Action::run, ""},
                      Case{{"-reverse", "--tables", "default"}, Action::run, ""}));
#endif

// The values are read as fifteen-solve reads them.
TEST(DesktopOptions, SharesTheValuesOfFifteenSolve) {
    for (const char* word : {"default", "7-8", "shared", "items", "7+8", ""}) {
        const DesktopOptions tables = parseDesktopOptions({"--tables", word});
        EXPECT_EQ(tables.action == Action::run, tableChoiceNamed(word).has_value()) << word;
        if (tables.strongerTables) {
            EXPECT_EQ(*tables.strongerTables, *tableChoiceNamed(word) == TableChoice::stronger);
        }
        const DesktopOptions parallel = parseDesktopOptions({"--parallel", word});
        EXPECT_EQ(parallel.action == Action::run, parallelDesignNamed(word).has_value()) << word;
        if (parallel.action == Action::run) {
            EXPECT_EQ(parallel.design, *parallelDesignNamed(word));
        }
    }
    EXPECT_TRUE(parseDesktopOptions({"--reset-settings"}).resetSettings);
    EXPECT_FALSE(parseDesktopOptions({}).strongerTables.has_value());
}

}  // namespace
}  // namespace fifteen::cli
