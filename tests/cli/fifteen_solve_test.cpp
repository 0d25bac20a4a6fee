// End-to-end tests of the built fifteen-solve: exit codes, input forms, the text
// report, the JSON fields (checked by replaying every solution) and Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "fifteen/version.h"
#include "heuristics/additive/file_system.h"
#include "puzzle/board.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

using testing_support::boardOf;
using testing_support::ChildProcess;
using testing_support::jsonLines;
using testing_support::ProcessResult;
using testing_support::runProcess;

const std::string solver = FIFTEEN_SOLVE_PATH;
const std::string goalText = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0";
const std::string oneMoveText = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15";
const std::string swappedText = "1 2 3 4 5 6 7 8 9 10 11 12 13 15 14 0";  // unsolvable
// Standard instances (Korf 1985, mapped to our goal) with published optimal lengths.
const std::string korf55 = test_support::standardInstanceText(55);  // 41 moves
const std::string korf16 = test_support::standardInstanceText(16);  // 42 moves
const std::string korf60 = test_support::standardInstanceText(60);  // 66 moves: slow

std::vector<std::string> command(std::vector<std::string> args) {
    args.insert(args.begin(), solver);
    return args;
}

// A walk of `length` moves from the goal that never takes a move straight back.
std::string randomWalk(unsigned seed, int length) {
    std::mt19937 random(seed);
    return test_support::positionText(test_support::randomWalkFromGoal(random, length));
}

struct ExitRow {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    int code;
    std::string inOut;      // expected part of standard output
    std::string inErr;      // expected part of standard error
    bool terminal = false;  // standard input and standard error a terminal
    bool errOnce = false;   // inErr stands exactly once in standard error
};

// Test names show the row name instead of the bytes of the row.
void PrintTo(const ExitRow& row, std::ostream* os) {
    *os << row.name;
}

class ExitCodeTest : public testing::TestWithParam<ExitRow> {};

TEST_P(ExitCodeTest, Row) {
    const ExitRow& row = GetParam();
    const ProcessResult result = runProcess(command(row.args), row.input, row.terminal);
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitCode, row.code) << result.err;
    EXPECT_NE(result.out.find(row.inOut), std::string::npos) << result.out;
    EXPECT_NE(result.err.find(row.inErr), std::string::npos) << result.err;
    if (row.errOnce) {
        EXPECT_EQ(result.err.find(row.inErr, result.err.find(row.inErr) + 1), std::string::npos)
            << "said more than once: " << result.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExitCodeTest,
    testing::Values(
        ExitRow{"allAnswered", {goalText, oneMoveText}, "", 0, "Optimal solution is 1 moves.", ""},
        ExitRow{"unsolvableIsAnAnswer", {swappedText}, "", 0, "UnSolvable.", ""},
        ExitRow{"nothingToAnswer", {}, "\n# nothing\n", 0, "", ""},
        ExitRow{"someInvalid",
                {goalText, "1 2 3", oneMoveText},
                "",
                2,
                "Optimal solution is 1 moves.",
                "argument 2: 3 numbers, expected 16"},
        ExitRow{"onlyInvalid", {"1 2 3"}, "", 2, "Invalid position (argument 1)", "argument 1"},
        ExitRow{"badOption", {"--fast"}, "", 2, "", "--fast"},
        ExitRow{"badThreads", {"--threads", "0", goalText}, "", 2, "", "--threads"},
        ExitRow{"missingFile", {"--file", "/nonexistent/positions"}, "", 2, "", "/nonexistent"},
        ExitRow{"help", {"--help"}, "", 0, "--threads", ""},
        ExitRow{"version", {"--version"}, "", 0, gitRevision, ""},
        ExitRow{"formatWord", {"--format", "xml", goalText}, "", 2, "", "must be text or json"},
        ExitRow{"formatNumber", {"--format", "1"}, "", 2, "", "--format: must be text or json"},
        ExitRow{
            "sixteenBareNumbers",
            {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "0", "15"},
            "",
            0,
            "Optimal solution is 1 moves.\nUsed time: ",
            ""},
        ExitRow{"bareNumbersHint",
                {"1", "2", goalText, "3"},
                "",
                2,
                "# argument 4\nInvalid position (argument 4)",
                "argument 1: 1 number, expected 16 (to give a position as arguments, quote it"},
        ExitRow{"bareNumbersHintOnce",
                {"5", "7"},
                "",
                2,
                "Invalid position (argument 2)",
                "(to give a position as arguments, quote it",
                false,
                true},
        ExitRow{"trailingComment",
                {oneMoveText + " # one move"},
                "",
                0,
                "Optimal solution is 1 moves.",
                ""},
        ExitRow{"originLines",
                {"--file", "/dev/stdin"},
                "# two\n" + goalText + "\n" + oneMoveText + "#one\n",
                0,
                "# /dev/stdin:3\n  1  2  3  4\n",
                ""},
        ExitRow{"terminalHint",
                {},
                goalText + "\n",
                0,
                "Optimal solution is 0 moves.",
                "type a position a line (16 numbers, the blank as 0",
                true},
        ExitRow{"verifiedSolutions",
                {"--verify", korf55, oneMoveText},
                "",
                0,
                "Optimal solution is 41 moves.",
                ""},
        ExitRow{"helpNamesAnalysis", {"--help"}, "", 0, "--review MOVES", ""},
        ExitRow{"analyseLine",
                {"--analyse", oneMoveText},
                "",
                0,
                "15\nOptimal moves: 15 (left); +2: 11 (down), 14 (right); 1 move to go\n",
                ""},
        ExitRow{
            "reviewOptimal", {"--review", "15", oneMoveText}, "", 0, "Review: 1 move, optimal", ""},
        ExitRow{"reviewIllegalMove",
                {"--review", "15 11", oneMoveText, goalText},
                "",
                2,
                "Review stopped: move 2 (11) is not a legal move there",
                "argument 1: move 2 (11) is not a legal move there"},
        ExitRow{"reviewBadMoves",
                {"--review", "15 x", oneMoveText},
                "",
                2,
                "Invalid position (argument 1): moves to review",
                "unexpected character 'x'"},
        ExitRow{"reviewMovesOnTheLine",
                {"--review", ":", "--file", "/dev/stdin"},
                oneMoveText + " : R L R\n" + oneMoveText + "\n",
                2,
                "Review: 3 moves, ended 2 from the goal (optimal 1): moves 1, 3 each lost 2\n"
                "Distances: 2 1 2\n",
                "/dev/stdin:2: no moves after a ':' to review"},
        ExitRow{"reviewUnsolvable",
                {"--review", "14", swappedText},
                "",
                0,
                "Review: no distances, the position is unsolvable",
                ""}),
    [](const testing::TestParamInfo<ExitRow>& testCase) { return testCase.param.name; });

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

TEST(FifteenSolveTest, TablesThatCannotBeAllocatedAreAnInternalFailure) {
    if (sanitized) GTEST_SKIP() << "the sanitizers' shadow memory needs more address space";
    // Enough to start, too little for two 12 MB pattern databases or their threads.
    // An invalid position beside it does not lower the code to 2: 1 wins.
    for (const unsigned long megabytes : {16ul, 40ul}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{goalText}, std::vector<std::string>{"1 2 3", goalText}}) {
            ChildProcess child(command(args), megabytes << 20);
            const ProcessResult result = child.finish();
            EXPECT_EQ(result.exitCode, 1)
                << megabytes << " MB, " << args.size() << ": " << result.err;
            EXPECT_NE(result.err.find("internal failure"), std::string::npos) << result.err;
        }
    }
}

// The output with each well-formed "Used time: S.HH sec" line turned into "Used time: T".
std::string withoutTimes(const std::string& out) {
    std::istringstream in(out);
    std::string result;
    std::string line;
    const std::string prefix = "Used time: ";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0) {
            const std::string rest = line.substr(prefix.size());
            const std::size_t dot = rest.find('.');
            const bool wellFormed = dot != std::string::npos && dot > 0 &&
                                    rest.substr(dot + 3) == " sec" &&
                                    rest.find_first_not_of("0123456789") == dot &&
                                    std::isdigit(static_cast<unsigned char>(rest[dot + 1])) &&
                                    std::isdigit(static_cast<unsigned char>(rest[dot + 2]));
            if (wellFormed) line = prefix + "T";
        }
        result += line + "\n";
    }
    return result;
}

TEST(FifteenSolveTest, TextReportOfTheGoalAndOfOneMove) {
    const std::string goalReport =
        "  1  2  3  4\n  5  6  7  8\n  9 10 11 12\n 13 14 15  0\n"
        "Optimal solution is 0 moves.\nUsed time: T\nSolution:\n"
        "\n";
    const std::string oneMoveReport =
        "  1  2  3  4\n  5  6  7  8\n  9 10 11 12\n 13 14  0 15\n"
        "Optimal solution is 1 moves.\nUsed time: T\nSolution:\n 15\n"
        "\n";
    const ProcessResult result = runProcess(command({goalText, oneMoveText}));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Appended piece by piece: GCC 12 gives a false -Wrestrict alarm on "..." + string.
    std::string expected = "# argument 1\n";
    expected += goalReport;
    expected += "# argument 2\n";
    expected += oneMoveReport;
    EXPECT_EQ(withoutTimes(result.out), expected);
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
    // One position alone: the report only.
    const ProcessResult alone = runProcess(command({}), oneMoveText + "\n");
    EXPECT_EQ(withoutTimes(alone.out), oneMoveReport);
}

TEST(FifteenSolveTest, JsonFieldsDescribeOptimalSolutionsThatReplay) {
    struct Case {
        std::string text;
        int32_t knownLength;  // -1: at most the walk's length
        int32_t walkLength;
    };
    std::vector<Case> cases = {
        {goalText, 0, 0}, {oneMoveText, 1, 1}, {korf55, 41, 41}, {korf16, 42, 42}};
    for (unsigned seed = 1; seed <= 4; ++seed) cases.push_back({randomWalk(seed, 30), -1, 30});
    std::vector<std::string> args = {"--format", "json", "--threads", "2"};
    for (const Case& c : cases) args.push_back(c.text);
    args.push_back(swappedText);
    const ProcessResult result = runProcess(command(args));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), cases.size() + 1);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const nlohmann::json& json = lines[i];
        SCOPED_TRACE(json.dump());
        EXPECT_EQ(json.at("input"), cases[i].text);
        EXPECT_EQ(json.at("origin"), "argument " + std::to_string(i + 1));
        ASSERT_EQ(json.at("status"), "solved");
        const auto length = json.at("length").get<int32_t>();
        const auto moves = json.at("moves").get<std::vector<int32_t>>();
        EXPECT_EQ(moves.size(), static_cast<std::size_t>(length));
        if (cases[i].knownLength >= 0) {
            EXPECT_EQ(length, cases[i].knownLength);
        } else {
            EXPECT_LE(length, cases[i].walkLength);
            EXPECT_EQ(length % 2, cases[i].walkLength % 2)
                << "every solution has the walk's parity";
        }
        EXPECT_TRUE(test_support::replayReachesGoal(boardOf(cases[i].text), moves));
        EXPECT_EQ(json.at("directions"), test_support::slideLetters(boardOf(cases[i].text), moves));
        // Both bounds are admissible, so neither exceeds the optimal length.
        EXPECT_LE(json.at("wd").get<int32_t>(), length);
        EXPECT_LE(json.at("pdb").get<int32_t>(), length);
        EXPECT_EQ(json.at("maxThreads"), 2);
        EXPECT_GE(json.at("threads").get<int32_t>(), 1);
        EXPECT_LE(json.at("threads").get<int32_t>(), 2);
        EXPECT_GE(json.at("ms").get<int64_t>(), 0);
        EXPECT_LE(json.at("nodesBelowFinalBound").get<uint64_t>(),
                  json.at("nodes").get<uint64_t>());
        if (length > 12) {
            EXPECT_GT(json.at("nodes").get<uint64_t>(), 0u);
        }
    }
    const nlohmann::json& unsolvable = lines.back();
    EXPECT_EQ(unsolvable.at("status"), "unsolvable");
    EXPECT_TRUE(unsolvable.at("length").is_null());
    EXPECT_TRUE(unsolvable.at("moves").empty());
}

struct BadRow {
    const char* name;
    std::string text;
    std::string reason;
};

// Test names show the row name instead of the bytes of the row.
void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class BadInputTest : public testing::TestWithParam<BadRow> {};

TEST_P(BadInputTest, IsReportedWithItsPlaceAndReason) {
    const ProcessResult result = runProcess(command({"--format", "json", "--", GetParam().text}));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("argument 1: " + GetParam().reason), std::string::npos) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), 1u) << result.out;
    EXPECT_EQ(lines[0].at("status"), "invalid");
    EXPECT_EQ(lines[0].at("input"), GetParam().text);
    EXPECT_NE(lines[0].at("error").get<std::string>().find(GetParam().reason), std::string::npos);
    EXPECT_FALSE(lines[0].contains("length"));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadInputTest,
    testing::Values(
        BadRow{"tooFew", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", "15 numbers, expected 16"},
        BadRow{"tooMany", goalText + " 3", "17 numbers, expected 16"},
        BadRow{"outOfRange", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", "value 16 is outside 0..15"},
        BadRow{"negative", "-1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0", "value -1 is outside 0..15"},
        BadRow{"repeated", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 14 0",
               "tile 14 occurs more than once"},
        BadRow{"notANumber", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 O", "'O' is not a number"},
        BadRow{"badRows", "1 2 3 4 5/6 7 8/9 10 11 12/13 14 15 0", "row 1 has 5 numbers"},
        BadRow{"empty", "", "0 numbers, expected 16"}),
    [](const testing::TestParamInfo<BadRow>& testCase) { return testCase.param.name; });

TEST(FifteenSolveTest, AnInvalidLineDoesNotStopTheOthers) {
    const std::string input = "# positions\n" + goalText + "\n\n1 2 3 x\n  # indented comment\n" +
                              "1,2,3,4/5,6,7,8/9,10,11,12/13,14,0,15\n" + swappedText + "\n";
    const ProcessResult result = runProcess(command({"--format", "json"}), input);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("stdin:4: 'x' is not a number"), std::string::npos) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), 4u) << result.out;
    EXPECT_EQ(lines[0].at("status"), "solved");
    EXPECT_EQ(lines[0].at("origin"), "stdin:2");
    EXPECT_EQ(lines[1].at("status"), "invalid");
    EXPECT_EQ(lines[2].at("status"), "solved");
    EXPECT_EQ(lines[2].at("length"), 1);
    EXPECT_EQ(lines[2].at("origin"), "stdin:6");
    EXPECT_EQ(lines[3].at("status"), "unsolvable");
}

TEST(FifteenSolveTest, FileDashAndArgumentsInOrder) {
    const std::string path = ::testing::TempDir() + "fifteen_solve_positions.txt";
    {
        std::ofstream file(path);
        file << "# from a file\r\n" << oneMoveText << "\r\n" << swappedText << "\r\n";
    }
    const ProcessResult result =
        runProcess(command({"--format", "json", goalText, "-", "--file", path}), korf55 + "\n");
    std::remove(path.c_str());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), 4u) << result.out;
    EXPECT_EQ(lines[0].at("origin"), "argument 1");
    EXPECT_EQ(lines[0].at("length"), 0);
    EXPECT_EQ(lines[1].at("origin"), "stdin:1");
    EXPECT_EQ(lines[1].at("length"), 41);
    EXPECT_EQ(lines[2].at("origin"), path + ":2");
    EXPECT_EQ(lines[2].at("length"), 1);
    EXPECT_EQ(lines[3].at("status"), "unsolvable");
}

TEST(FifteenSolveTest, InterruptCancelsTheRunningSolveAndStops) {
    ChildProcess child(command({"--format", "json", "--threads", "1", goalText, korf60, goalText}));
    std::string line;
    // The goal's answer comes once the tables are ready; the long solve starts next.
    ASSERT_TRUE(child.readLine(line, 120000)) << "no first answer";
    EXPECT_EQ(nlohmann::json::parse(line).at("status"), "solved");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    child.sendSignal(SIGINT);
    const bool answered = child.readLine(line, 60000);
    if (!answered) child.sendSignal(SIGKILL);
    ASSERT_TRUE(answered) << "the solve went on after SIGINT";
    const nlohmann::json json = nlohmann::json::parse(line);
    EXPECT_EQ(json.at("status"), "cancelled");
    EXPECT_EQ(json.at("input"), korf60);
    EXPECT_TRUE(json.at("length").is_null());
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 130) << result.err;
    EXPECT_EQ(result.out, "") << "the third position must not be started";
}

TEST(FifteenSolveTest, InterruptedTextReportSaysCancel) {
    ChildProcess child(command({"--threads", "1", goalText, korf60}));
    std::string line;
    ASSERT_TRUE(child.readLine(line, 120000));
    while (line != "Solution:") ASSERT_TRUE(child.readLine(line, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    child.sendSignal(SIGINT);
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 130);
    EXPECT_EQ(
        result.out,
        "\n# argument 2\n  0  8 10  6\n 11  7  9  1\n 12  4 13 14\n 15  3  2  5\nCancel.\n\n");
}

TEST(FifteenSolveTest, InterruptWhileWaitingForInputEnds) {
    ChildProcess child(command({"--format", "json"}));
    child.writeInput(goalText + "\n");
    std::string line;
    ASSERT_TRUE(child.readLine(line, 120000));
    EXPECT_EQ(nlohmann::json::parse(line).at("status"), "solved");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    child.sendSignal(SIGINT);
    // The input stays open: only the interrupt can end the read.
    EXPECT_FALSE(child.readLine(line, 30000)) << "more output after the interrupt: " << line;
    EXPECT_TRUE(child.outputEnded()) << "still waiting for input after the interrupt";
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 130) << result.err;
}

TEST(FifteenSolveTest, InterruptWhileTheTablesBuildAnswersNothing) {
    // On a terminal the table build announces itself: interrupt right after that.
    ChildProcess child(command({"--format", "json", goalText}), 0, true);
    ASSERT_TRUE(child.waitForError("building the tables", 60000)) << child.errorSoFar();
    child.sendSignal(SIGINT);
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 130) << result.err;
    EXPECT_EQ(result.out, "");
}

TEST(FifteenSolveTest, ALongSolveShowsItsProgressOnATerminalAndClearsIt) {
    ChildProcess child(command({"--format", "json", "--threads", "1", korf60}), 0, true);
    const bool shown = child.waitForError("Searching: bound ", 120000);
    child.sendSignal(SIGINT);
    ASSERT_TRUE(shown) << child.errorSoFar();
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 130) << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out).at("status"), "cancelled");
    // Redrawn in place, with bound, nodes and rate, and cleared at the end.
    const std::size_t last = result.err.rfind("\rSearching: bound ");
    ASSERT_NE(last, std::string::npos) << result.err;
    EXPECT_NE(result.err.find(" nodes, ", last), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(" nodes/s", last), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("\r\033[K", last + 1), std::string::npos) << result.err;
}

// The JSON report names the table set that answered; an invalid line, answered
// by none, does not.
TEST(FifteenSolveTest, JsonReportsNameTheTableSet) {
    const ProcessResult result =
        runProcess(command({"--format", "json", "--tables", "default", oneMoveText, "1 2"}));
    ASSERT_EQ(result.exitCode, 2) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].at("tables"), "default");
    EXPECT_FALSE(lines[1].contains("tables"));
    EXPECT_EQ(runProcess(command({"--format", "json", oneMoveText})).out,
              jsonLines(result.out)[0].dump() + "\n")
        << "the default set is the default";
}

// A cache folder of its own for the child processes, as XDG_CACHE_HOME (and
// LOCALAPPDATA, its place on Windows).
class CacheFolder {
  public:
    CacheFolder() : path_(testing_support::makeTemporaryFolder("fifteen_cache_")) {
        for (const char* name : {"XDG_CACHE_HOME", "LOCALAPPDATA"}) {
            const char* before = std::getenv(name);
            before_.emplace_back(before == nullptr ? std::nullopt
                                                   : std::optional<std::string>(before));
            testing_support::setEnvironment(name, path_);
        }
    }
    ~CacheFolder() {
        testing_support::setEnvironment("XDG_CACHE_HOME", before_[0]);
        testing_support::setEnvironment("LOCALAPPDATA", before_[1]);
        std::filesystem::remove_all(path_);
    }
    const std::string& path() const { return path_; }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_ + "/fifteen"))
            names.push_back(entry.path().filename().string());
        return names;
    }

  private:
    std::string path_;
    std::vector<std::optional<std::string>> before_;
};

// A short file in the cache is reported in one line and rebuilt; Ctrl-C stops the
// build at once with nothing written and nothing answered. Never a whole build.
TEST(FifteenSolveTest, AShortTablesFileIsReportedAndItsRebuildStopsOnCtrlC) {
    for (const bool buildOnly : {false, true}) {
        SCOPED_TRACE(buildOnly ? "--build-tables" : "--tables 7-8");
        CacheFolder cache;
        ASSERT_TRUE(std::filesystem::create_directories(cache.path() + "/fifteen"));
        // As the program names it: Windows separates with backslashes.
        const std::string file =
            cache.path() + pathSeparator + "fifteen" + pathSeparator + "tables-7-8.bin";
        std::ofstream(file) << "F15ADDTB";
        ChildProcess child(command(
            buildOnly ? std::vector<std::string>{"--build-tables"}
                      : std::vector<std::string>{"--tables", "7-8", "--format", "json", goalText}));
        ASSERT_TRUE(child.waitForError("building the 7-8 tables", 60000)) << child.errorSoFar();
        child.sendSignal(SIGINT);
        const ProcessResult result = child.finish();
        EXPECT_EQ(result.exitCode, 130) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("fifteen-solve: " + file + " is truncated; building it again\n"),
                  std::string::npos)
            << result.err;
        // The short file is never trusted, and no temporary stays beside it.
        for (const std::string& name : cache.files()) {
            EXPECT_TRUE(name == "tables-7-8.bin" || name == "tables-7-8.bin.lock") << name;
        }
        std::ifstream in(file);
        const std::string kept((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(kept, "F15ADDTB");
    }
}

}  // namespace
}  // namespace fifteen::cli
