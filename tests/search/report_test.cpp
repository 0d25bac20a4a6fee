#include "search/report.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace fifteen {
namespace {

TEST(TextBuffer, AppendsAreBoundedByTheCapacity) {
    const std::string letters(statusCapacity + 10, 'a');
    const std::string fits = letters.substr(0, statusCapacity - 1);
    StatusText text;
    text.append("bc");
    text.append(letters.c_str());
    EXPECT_EQ(text.c_str(), "bc" + fits.substr(2));
    EXPECT_EQ(text.size(), statusCapacity - 1);
    text.append("more");
    text.appendFormat("%d", 5);
    EXPECT_EQ(text.c_str(), "bc" + fits.substr(2));
    text.clear();
    text.appendFormat("%d-%s", 12, letters.c_str());
    EXPECT_EQ(text.c_str(), "12-" + fits.substr(3));
    text.clear();
    text.appendFormat("%d-%d", 12, 345);
    text.appendFormat("%s", "x");
    EXPECT_STREQ(text.c_str(), "12-345x");
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

TEST(StatusLine, ShowsBoundsAndThreadsInFull) {
    // Against snprintf into a buffer far larger than any status, including the
    // longest the program makes (--threads 1000) and the longest int32 values.
    const std::vector<std::array<int32_t, 4>> cases = {
        {38, 44, 7, 8},
        {70, 58, 1000, 1000},
        {70, 58, 1000, 2147483647},
        {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}};
    for (const auto& [wd, pdb, items, threads] : cases) {
        StatusText status;
        formatSearchStatus(status, wd, pdb, items, threads);
        char expected[200];
        std::snprintf(expected, sizeof expected, " WD=%d, PDB=%d, Threads=%d/%d", wd, pdb, items,
                      threads);
        EXPECT_STREQ(status.c_str(), expected);
    }
    StatusText status;
    formatSearchStatus(status, 70, 58, 1000, 1000);
    EXPECT_STREQ(status.c_str(), " WD=70, PDB=58, Threads=1000/1000");
}

// Reads back a count as appendCount writes it: digits, an optional fraction and
// an optional unit letter.
double readCount(const std::string& text) {
    std::size_t used = 0;
    double value = std::stod(text, &used);
    if (used < text.size()) {
        const std::string units = " kMGTPE";
        value *= std::pow(1000.0, static_cast<double>(units.find(text[used + 1])));
    }
    return value;
}

TEST(ProgressLine, CountsReadBackWithinTheirRounding) {
    std::mt19937_64 random(5);
    for (int i = 0; i < 20000; ++i) {
        // Spread over every magnitude, with the unit edges (999, 999'500 ...) often hit.
        const int digits = static_cast<int>(random() % 20);
        uint64_t count = random() % (digits == 19 ? ~0ull : 1ull << (digits * 3 + 4));
        if (i % 7 == 0) count = static_cast<uint64_t>(std::pow(10.0, digits % 16) * 999.5);
        ProgressText text;
        appendCount(text, count);
        const std::string shown = text.c_str();
        SCOPED_TRACE(std::to_string(count) + " shown as " + shown);
        if (count < 1000) {
            EXPECT_EQ(shown, std::to_string(count));
            continue;
        }
        // Two or three significant digits and a unit: within 5 % of the count.
        const double back = readCount(shown);
        EXPECT_LE(std::abs(back - static_cast<double>(count)), 0.0501 * static_cast<double>(count));
        const std::string number = shown.substr(0, shown.find(' '));
        EXPECT_LT(std::stod(number), 1000.0);
        EXPECT_LE(number.size(), 4u);
    }
}

TEST(ProgressLine, ShowsBoundNodesAndRate) {
    ProgressText text;
    formatProgress(text, 58, 1'234'567'890, 8'000);
    EXPECT_STREQ(text.c_str(), "Searching: bound 58, 1.2 G nodes, 154 M nodes/s");
    formatProgress(text, 0, 0, 0);
    EXPECT_STREQ(text.c_str(), "Searching: bound 0, 0 nodes, 0 nodes/s");
    // The longest line fits whole.
    formatProgress(text, INT32_MIN, ~0ull, 1);
    EXPECT_STREQ(text.c_str(), "Searching: bound -2147483648, 18 E nodes, 18 E nodes/s");
}

}  // namespace
}  // namespace fifteen
