#include "cli/result_format.h"

#include <gtest/gtest.h>

namespace fifteen::cli {
namespace {

SolveRecord solvedRecord() {
    SolveRecord record;
    record.origin = "argument 1";
    record.input = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15";
    record.status = solveSolved;
    record.report = "  1  2\nOptimal solution is 1 moves.";
    record.length = 1;
    record.moves = {15};
    record.directions = "L";
    record.wd = 1;
    record.pdb = 1;
    record.threads = 1;
    record.maxThreads = 4;
    record.nodes = 5000000000ULL;  // beyond 32 bits
    record.nodesBelowFinalBound = 3;
    record.ms = 12;
    return record;
}

TEST(ResultFormatTest, JsonOfASolvedPositionHasEveryField) {
    const nlohmann::json json = formatJson(solvedRecord());
    EXPECT_EQ(json.at("input"), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15");
    EXPECT_EQ(json.at("origin"), "argument 1");
    EXPECT_EQ(json.at("status"), "solved");
    EXPECT_EQ(json.at("length"), 1);
    EXPECT_EQ(json.at("moves"), nlohmann::json::array({15}));
    EXPECT_EQ(json.at("directions"), "L");
    EXPECT_EQ(json.at("wd"), 1);
    EXPECT_EQ(json.at("pdb"), 1);
    EXPECT_EQ(json.at("threads"), 1);
    EXPECT_EQ(json.at("maxThreads"), 4);
    EXPECT_EQ(json.at("nodes").get<uint64_t>(), 5000000000ULL);
    EXPECT_EQ(json.at("nodesBelowFinalBound"), 3);
    EXPECT_EQ(json.at("ms"), 12);
    EXPECT_FALSE(json.contains("error"));
    // One object a line: the dump holds no line break.
    EXPECT_EQ(json.dump().find('\n'), std::string::npos);
}

TEST(ResultFormatTest, UnsolvedPositionsHaveANullLength) {
    for (const auto& [status, name] :
         {std::pair{solveUnsolvable, "unsolvable"}, std::pair{solveCancelled, "cancelled"}}) {
        SolveRecord record = solvedRecord();
        record.status = status;
        record.length = -1;
        record.moves.clear();
        record.directions.clear();
        const nlohmann::json json = formatJson(record);
        EXPECT_EQ(json.at("status"), name);
        EXPECT_TRUE(json.at("length").is_null()) << name;
        EXPECT_TRUE(json.at("moves").empty()) << name;
        EXPECT_TRUE(json.contains("nodes")) << name;
    }
}

TEST(ResultFormatTest, InvalidInputCarriesTheErrorOnly) {
    SolveRecord record;
    record.origin = "stdin:4";
    record.input = "1 2 3";
    record.status = solveInvalid;
    record.error = "3 numbers, expected 16";
    const nlohmann::json json = formatJson(record);
    EXPECT_EQ(json.at("status"), "invalid");
    EXPECT_EQ(json.at("error"), "3 numbers, expected 16");
    EXPECT_EQ(json.at("input"), "1 2 3");
    EXPECT_FALSE(json.contains("length"));
    EXPECT_FALSE(json.contains("moves"));
    EXPECT_EQ(formatText(record), "Invalid position (stdin:4): 3 numbers, expected 16\n\n");
}

TEST(ResultFormatTest, TextIsTheReportThenABlankLine) {
    SolveRecord record = solvedRecord();
    EXPECT_EQ(formatText(record), "  1  2\nOptimal solution is 1 moves.\n\n");
    record.report = "Solution:\n";  // the goal's report ends with the empty move list
    EXPECT_EQ(formatText(record), "Solution:\n\n");
    EXPECT_EQ(formatText(record, true), "# argument 1\nSolution:\n\n");
}

TEST(ResultFormatTest, UnixLineEnds) {
    EXPECT_EQ(withUnixLineEnds("  1  2\r\n  3  4\r\nCancel."), "  1  2\n  3  4\nCancel.");
    EXPECT_EQ(withUnixLineEnds("a\rb\r"), "a\rb\r") << "a lone CR is not a line end";
    EXPECT_EQ(withUnixLineEnds(""), "");
}

}  // namespace
}  // namespace fifteen::cli
