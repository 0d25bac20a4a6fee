#include "puzzle/position_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "puzzle/standard_instances.h"

namespace fifteen {
namespace {

constexpr Board someBoard = standardInstance(1).board;  // the forms below spell it

struct GoodForm {
    const char* name;
    std::string text;
};

// Test names show the row name instead of the bytes of the row.
void PrintTo(const GoodForm& row, std::ostream* os) {
    *os << row.name;
}

class ParserAcceptsTest : public testing::TestWithParam<GoodForm> {};

TEST_P(ParserAcceptsTest, ReadsTheCellsInReadingOrder) {
    const ParsedPosition parsed = parsePosition(GetParam().text);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.board, someBoard);
    EXPECT_TRUE(parsed.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParserAcceptsTest,
    testing::Values(
        GoodForm{"spaces", "13 6 8 12 15 14 0 10 11 7 4 5 9 1 3 2"},
        GoodForm{"commas", "13,6,8,12,15,14,0,10,11,7,4,5,9,1,3,2"},
        GoodForm{"commasAndSpaces", "13, 6, 8, 12, 15, 14, 0, 10, 11, 7, 4, 5, 9, 1, 3, 2"},
        GoodForm{"rows", "13 6 8 12/15 14 0 10/11 7 4 5/9 1 3 2"},
        GoodForm{"rowsSpaced", " 13 6 8 12 / 15 14 0 10 / 11 7 4 5 / 9 1 3 2 "},
        GoodForm{"rowsWithCommas", "13,6,8,12/15,14,0,10/11,7,4,5/9,1,3,2"},
        GoodForm{"tabsAndCarriageReturn", "13\t6\t8\t12\t15\t14\t0\t10\t11\t7\t4\t5\t9\t1\t3\t2\r"},
        GoodForm{"leadingZerosAndPlus", "13 06 08 12 15 14 00 10 11 +7 4 5 9 1 3 2"},
        GoodForm{"runsOfSeparators", "13  6,,8 ,12 15 14 0 10 11 7 4 5 9 1 3 2"},
        GoodForm{"trailingComment", "13 6 8 12 15 14 0 10 11 7 4 5 9 1 3 2 # Korf 1, 57 moves"},
        GoodForm{"commentRightAfterANumber", "13 6 8 12 15 14 0 10 11 7 4 5 9 1 3 2#57 / 9"},
        GoodForm{"commentPerLine", "13 6 8 12 # row 1\n15 14 0 10 #\n11 7 4 5\n9 1 3 2 # 4 5"}),
    [](const testing::TestParamInfo<GoodForm>& testCase) { return testCase.param.name; });

struct BadForm {
    const char* name;
    std::string text;
    std::string reason;  // expected part of the message
};

// Test names show the row name instead of the bytes of the row.
void PrintTo(const BadForm& row, std::ostream* os) {
    *os << row.name;
}

class ParserRejectsTest : public testing::TestWithParam<BadForm> {};

TEST_P(ParserRejectsTest, SaysWhatIsWrong) {
    const ParsedPosition parsed = parsePosition(GetParam().text);
    EXPECT_FALSE(parsed.ok);
    EXPECT_NE(parsed.error.find(GetParam().reason), std::string::npos) << parsed.error;
    for (const char c : parsed.error) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "unprintable byte in the message";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ParserRejectsTest,
    testing::Values(
        BadForm{"empty", "", "0 numbers, expected 16"},
        BadForm{"onlySeparators", " , / ", "0 numbers, expected 16"},
        BadForm{"fifteenNumbers", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", "15 numbers, expected 16"},
        BadForm{"seventeenNumbers", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0 1",
                "17 numbers, expected 16"},
        BadForm{"oneNumber", "7", "1 number, expected 16"},
        BadForm{"commentedOutNumbers", "1 2 3 4 5 6 7 8 # 9 10 11 12 13 14 15 0",
                "8 numbers, expected 16"},
        BadForm{"sixteen", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 0", "value 16 is outside 0..15"},
        BadForm{"negative", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 -1", "value -1 is outside 0..15"},
        BadForm{"huge", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 99999999999999999999999",
                "is outside 0..15"},
        BadForm{"word", "1 2 3 4 5 6 7 8 9 ten 11 12 13 14 15 0", "'ten' is not a number"},
        BadForm{"fraction", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0.5", "'0.5' is not a number"},
        BadForm{"digitsThenLetter", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0x",
                "'0x' is not a number"},
        BadForm{"loneSign", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 -", "'-' is not a number"},
        BadForm{"binary", std::string("1 2 \x01\xff 4", 8), "'\\x01\\xff' is not a number"},
        BadForm{"repeatedTile", "1 1 3 4 5 6 7 8 9 10 11 12 13 14 15 0",
                "tile 1 occurs more than once (tile 2 is missing)"},
        BadForm{"twoBlanks", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 0",
                "the blank (0) occurs more than once (tile 15 is missing)"},
        BadForm{"noBlank", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 15",
                "tile 15 occurs more than once (no blank)"},
        BadForm{"threeRows", "1 2 3 4/5 6 7 8/9 10 11 12 13 14 15 0",
                "3 rows separated by '/', expected 4"},
        BadForm{"unevenRows", "1 2 3/4 5 6 7 8/9 10 11 12/13 14 15 0",
                "row 1 has 3 numbers, expected 4"},
        BadForm{"trailingSlash", "1 2 3 4/5 6 7 8/9 10 11 12/13 14 15 0/",
                "5 rows separated by '/', expected 4"}),
    [](const testing::TestParamInfo<BadForm>& testCase) { return testCase.param.name; });

TEST(ParserTest, LongTokensAreShortenedInTheMessage) {
    for (const std::string& token : {std::string(500, 'z'), std::string(500, '1')}) {
        const ParsedPosition parsed = parsePosition(token);
        EXPECT_FALSE(parsed.ok);
        EXPECT_LT(parsed.error.size(), 60u) << parsed.error;
    }
}

TEST(ParserTest, FormattedBoardsReadBackUnchanged) {
    std::mt19937 random(20261208);
    Board board = goalBoard;
    for (int round = 0; round < 300; ++round) {
        std::shuffle(board.begin(), board.end(), random);
        const std::string text = formatPosition(board);
        const ParsedPosition parsed = parsePosition(text);
        ASSERT_TRUE(parsed.ok) << text << ": " << parsed.error;
        EXPECT_EQ(parsed.board, board) << text;
    }
}

TEST(ParserTest, FormatSeparatesRowsBySlashes) {
    EXPECT_EQ(formatPosition(goalBoard), "1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 0");
}

}  // namespace
}  // namespace fifteen
