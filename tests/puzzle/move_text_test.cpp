#include "puzzle/move_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fifteen {
namespace {

struct MoveTextCase {
    const char* text;
    bool ok;
    std::vector<int32_t> tiles;  // the tiles read, or 0 for each letter
    std::string letters;         // the letters read, in order
};

class MoveTextTest : public ::testing::TestWithParam<MoveTextCase> {};

TEST_P(MoveTextTest, ReadsTilesOrLettersAndRejectsTheRest) {
    const MoveTextCase& c = GetParam();
    const ParsedMoves parsed = parseMoves(c.text);
    ASSERT_EQ(parsed.ok, c.ok) << parsed.error;
    EXPECT_EQ(parsed.error.empty(), c.ok);
    std::vector<int32_t> tiles;
    std::string letters;
    for (const WrittenMove& m : parsed.moves) {
        tiles.push_back(m.tile);
        if (m.direction != 0) letters += m.direction;
    }
    if (c.ok) {
        EXPECT_EQ(tiles, c.tiles);
        EXPECT_EQ(letters, c.letters);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MoveTextTest,
    ::testing::Values(MoveTextCase{"12 7 3", true, {12, 7, 3}, ""},
                      MoveTextCase{"12,7,\t3\r\n15", true, {12, 7, 3, 15}, ""},
                      MoveTextCase{"uLdR", true, {0, 0, 0, 0}, "ULDR"},
                      MoveTextCase{"U L D", true, {0, 0, 0}, "ULD"},
                      // Copy solution's two lines: the numbers are read.
                      MoveTextCase{"15 11\nDR\n", true, {15, 11}, ""},
                      MoveTextCase{"", true, {}, ""}, MoveTextCase{"  \n", true, {}, ""},
                      MoveTextCase{"12 U 7", false, {}, ""}, MoveTextCase{"16", false, {}, ""},
                      MoveTextCase{"0 1", false, {}, ""}, MoveTextCase{"12 x", false, {}, ""},
                      MoveTextCase{"-3", false, {}, ""}));

// The letter of each move and the cell a written move names, over every blank
// cell and neighbour: a tile and its letter name the same cell.
TEST(MoveCell, TilesAndLettersNameTheSameNeighbour) {
    Board board = goalBoard;
    for (int32_t blank = 0; blank < 16; ++blank) {
        board = goalBoard;
        std::swap(board[static_cast<std::size_t>(blank)], board[15]);
        for (int32_t k = 0; k < neighborCount[static_cast<std::size_t>(blank)]; ++k) {
            const int32_t n =
                neighbors[static_cast<std::size_t>(blank)][static_cast<std::size_t>(k)];
            const char letter = directionOfMove(blank, n);
            const int32_t rowStep = n / 4 - blank / 4;
            const int32_t columnStep = n % 4 - blank % 4;
            // The tile slides opposite to the blank's step.
            EXPECT_EQ(letter, rowStep == 1      ? 'U'
                              : rowStep == -1   ? 'D'
                              : columnStep == 1 ? 'L'
                                                : 'R');
            EXPECT_EQ(moveCell(board, blank, {0, letter}), n);
            EXPECT_EQ(moveCell(board, blank, {board[static_cast<std::size_t>(n)], 0}), n);
        }
        EXPECT_EQ(moveCell(board, blank, {0, 0}), -1);
    }
    EXPECT_EQ(moveCell(goalBoard, 15, {1, 0}), -1);
    EXPECT_EQ(moveCell(goalBoard, 15, {0, 'U'}), -1);
}

}  // namespace
}  // namespace fifteen
