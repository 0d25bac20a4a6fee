#include "search/report.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace fifteen {
namespace {

TEST(TextBuffer, AppendsAreBoundedByTheCapacity) {
    StatusText text;
    text.append("abcdefghijklmnopqrstuvwxyz");
    text.append("0123456789");
    EXPECT_STREQ(text.c_str(), "abcdefghijklmnopqrstuvwxyz01234");
    EXPECT_EQ(text.size(), statusCapacity - 1);
    text.append("more");
    EXPECT_STREQ(text.c_str(), "abcdefghijklmnopqrstuvwxyz01234");
    text.clear();
    text.appendFormat("%d-%d", 12, 345);
    EXPECT_STREQ(text.c_str(), "12-345");
}

TEST(TextBuffer, AReportFullOfMovesStaysWithinItsBuffer) {
    ReportText report;
    std::vector<int32_t> moves(81, 15);
    for (int i = 0; i < 3; ++i) appendSolution(report, 81, moves.data(), {999, 99});
    EXPECT_EQ(report.size(), reportCapacity - 1);
    EXPECT_EQ(std::strlen(report.c_str()), reportCapacity - 1);
}

struct ElapsedCase {
    int64_t ms;
    const char* usedTime;
    const char* secondsLine;
};

class ElapsedFormat : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(ElapsedFormat, UsedTimeAndSecondsLineTruncate) {
    const ElapsedCase& c = GetParam();
    ReportText report;
    appendSolution(report, 0, nullptr, splitElapsed(c.ms));
    const std::string expected = std::string("Optimal solution is 0 moves.\r\nUsed time: ") +
                                 c.usedTime + " sec\r\nSolution:\r\n";
    EXPECT_EQ(report.c_str(), expected);
    StatusText seconds;
    formatSeconds(seconds, splitElapsed(c.ms).seconds);
    EXPECT_STREQ(seconds.c_str(), c.secondsLine);
}

INSTANTIATE_TEST_SUITE_P(Times, ElapsedFormat,
                         ::testing::Values(ElapsedCase{10'500, "10.50", "   10 sec"},
                                           ElapsedCase{1'999, "1.99", "    1 sec"},
                                           ElapsedCase{0, "0.00", "    0 sec"},
                                           ElapsedCase{9, "0.00", "    0 sec"},
                                           ElapsedCase{61'070, "61.07", "   61 sec"},
                                           ElapsedCase{123'456'789, "123456.78", "123456 sec"}));

TEST(Report, ProblemRowsAreFourCellsOfWidthThree) {
    ReportText report;
    const Board board = {13, 6, 8, 12, 15, 14, 0, 10, 11, 7, 4, 5, 9, 1, 3, 2};
    appendProblem(report, board);
    EXPECT_STREQ(report.c_str(),
                 " 13  6  8 12\r\n 15 14  0 10\r\n 11  7  4  5\r\n  9  1  3  2\r\n");
}

TEST(Report, TwentyFiveMovesMakeLinesOfTenTenAndFive) {
    std::vector<int32_t> moves(25);
    std::iota(moves.begin(), moves.end(), 0);
    for (auto& m : moves) m = m % 15 + 1;
    ReportText report;
    appendSolution(report, 25, moves.data(), {3, 7});
    const std::string text = report.c_str();
    const std::string header =
        "Optimal solution is 25 moves.\r\nUsed time: 3.07 sec\r\nSolution:\r\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    const std::string body = text.substr(header.size());
    EXPECT_EQ(body,
              "  1  2  3  4  5  6  7  8  9 10\r\n"
              " 11 12 13 14 15  1  2  3  4  5\r\n"
              "  6  7  8  9 10");
}

TEST(Report, TenMovesEndWithoutALineBreak) {
    std::vector<int32_t> moves(10, 7);
    ReportText report;
    appendSolution(report, 10, moves.data(), {0, 0});
    const std::string text = report.c_str();
    EXPECT_EQ(text.substr(text.size() - 6), "  7  7");
    EXPECT_EQ(text.find("\r\n", text.find("Solution:\r\n") + 11), std::string::npos);
}

TEST(StatusLine, ShowsBoundsAndThreads) {
    StatusText status;
    formatSearchStatus(status, 38, 44, 7, 8);
    EXPECT_STREQ(status.c_str(), " WD=38, PDB=44, Threads=7/8");
    formatSearchStatus(status, 70, 58, 64, 128);
    EXPECT_STREQ(status.c_str(), " WD=70, PDB=58, Threads=64/128");
    // Too long for the 32-byte line: cut, never overflowed.
    formatSearchStatus(status, 70, 58, 1000, 1024);
    EXPECT_STREQ(status.c_str(), " WD=70, PDB=58, Threads=1000/10");
}

}  // namespace
}  // namespace fifteen
