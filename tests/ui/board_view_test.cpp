#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"

namespace fifteen::ui {
namespace {

using testing::artworkPixel;
using testing::DialogRig;

int blankOf(const Board& b) {
    for (int i = 0; i < 16; ++i) {
        if (b[static_cast<size_t>(i)] == 0) return i;
    }
    return -1;
}

bool adjacent(int a, int b) {
    return std::abs(a / 4 - b / 4) + std::abs(a % 4 - b % 4) == 1;
}

std::string backwardText(int count) {
    char text[32];
    std::snprintf(text, sizeof text, " Backward %d moves", count);
    return text;
}

// Cells to click so that the blank walks from cell 15 to target: along the
// bottom row, then up its column.
std::vector<int> pathOfBlankTo(int target) {
    std::vector<int> cells;
    for (int c = 2; c >= target % 4; --c) cells.push_back(12 + c);
    for (int r = 2; r >= target / 4; --r) cells.push_back(4 * r + target % 4);
    return cells;
}

// Every composed pixel: the image of the tile in that cell, the blank in the
// button-face colour.
void expectBoardPixels(const DialogRig& rig) {
    const Surface& shown = rig.host.shown;
    ASSERT_EQ(shown.width, 256);
    ASSERT_EQ(shown.height, 256);
    const Board& board = rig.dialog.view().board;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int32_t tile = board[static_cast<size_t>(x / 64 + 4 * (y / 64))];
            const Color expected =
                tile == 0 ? rig.host.buttonFace : artworkPixel(tile, x % 64, y % 64);
            ASSERT_EQ(shown.at(x, y), expected) << "pixel " << x << "," << y << " tile " << tile;
        }
    }
}

// For every position of the blank and every clicked cell: the tile slides
// exactly when it is next to the blank, and only then does the counter move.
class BackwardClick : public ::testing::TestWithParam<int> {};

TEST_P(BackwardClick, SlidesOnlyTilesNextToTheBlank) {
    const int blank = GetParam();
    for (int cell = 0; cell < 16; ++cell) {
        DialogRig rig;
        const std::vector<int> path = pathOfBlankTo(blank);
        rig.backwardClicks(path);
        ASSERT_EQ(blankOf(rig.dialog.view().board), blank);
        const int before = rig.dialog.view().backwardCount;
        ASSERT_EQ(before, static_cast<int>(path.size()));
        const Board boardBefore = rig.dialog.view().board;
        const std::string statusBefore = rig.host.controlText(idStatus);

        rig.clickCell(cell);
        const Board& after = rig.dialog.view().board;
        if (adjacent(cell, blank)) {
            Board expected = boardBefore;
            applyMove(expected, blank, cell);
            EXPECT_EQ(after, expected) << "cell " << cell;
            EXPECT_EQ(rig.dialog.view().backwardCount, before + 1);
            EXPECT_EQ(rig.host.controlText(idStatus), backwardText(before + 1));
        } else {
            EXPECT_EQ(after, boardBefore) << "cell " << cell;
            EXPECT_EQ(rig.dialog.view().backwardCount, before);
            EXPECT_EQ(rig.host.controlText(idStatus), statusBefore);
        }
        expectBoardPixels(rig);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryBlankCell, BackwardClick, ::testing::Range(0, 16));

TEST(Backward, StopsCountingAt999) {
    DialogRig rig;
    rig.host.click(idBackward);
    for (int i = 0; i < 999; ++i) rig.clickCell(i % 2 == 0 ? 14 : 15);
    EXPECT_EQ(rig.dialog.view().backwardCount, 999);
    EXPECT_EQ(rig.host.controlText(idStatus), " Backward 999 moves");
    const Board frozen = rig.dialog.view().board;
    EXPECT_EQ(blankOf(frozen), 14);
    rig.clickCell(15);
    rig.clickCell(13);
    rig.clickCell(10);
    EXPECT_EQ(rig.dialog.view().board, frozen);
    EXPECT_EQ(rig.dialog.view().backwardCount, 999);
    // Backward starts over from the goal with a fresh counter.
    rig.host.click(idBackward);
    rig.host.click(idBackward);  // the first click unchecked it; the mode stays
    rig.clickCell(14);
    EXPECT_EQ(rig.dialog.view().backwardCount, 1);
}

// Random clicks never leave the positions reachable from the goal: the board
// stays solvable, and the parity of the counter is that of the blank's distance
// from its goal cell, as every counted click moves the blank by one cell.
TEST(Backward, RandomClicksStayReachableFromTheGoal) {
    DialogRig rig;
    rig.host.click(idBackward);
    std::mt19937 random(11);
    for (int i = 0; i < 3000; ++i) {
        rig.clickCell(static_cast<int>(random() % 16));
        const Board& b = rig.dialog.view().board;
        ASSERT_TRUE(isValidBoard(b));
        ASSERT_TRUE(isSolvable(b));
        const int blank = blankOf(b);
        const int distance = (3 - blank / 4) + (3 - blank % 4);
        ASSERT_EQ(rig.dialog.view().backwardCount % 2, distance % 2);
    }
    EXPECT_GT(rig.dialog.view().backwardCount, 0);
}

TEST(DirectDrag, LiftFollowAndDrop) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(0));
    EXPECT_EQ(rig.dialog.view().motion.tile, 1);
    EXPECT_EQ(rig.dialog.view().motion.cell, 0);
    EXPECT_EQ(rig.dialog.view().board[0], 0);
    EXPECT_EQ(rig.host.confineCount, 0) << "the pointer stays free to leave the board";

    // The lifted tile is drawn centred on the pointer.
    const Rect board = rig.dialog.view().rect();
    rig.host.mouse(MouseEvent::move, Point{board.left + 100, board.top + 77});
    EXPECT_EQ(rig.host.shown.at(100, 77), artworkPixel(1, 32, 32));
    EXPECT_EQ(rig.host.shown.at(68, 45), artworkPixel(1, 0, 0));
    EXPECT_EQ(rig.host.shown.at(131, 108), artworkPixel(1, 63, 63));
    EXPECT_EQ(rig.host.shown.at(10, 10), rig.host.buttonFace);  // the emptied source

    rig.host.mouse(MouseEvent::leftUp, rig.cellCentre(5));
    Board expected = goalBoard;
    expected[0] = 6;
    expected[5] = 1;
    EXPECT_EQ(rig.dialog.view().board, expected);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    expectBoardPixels(rig);
}

TEST(DirectDrag, DropOnTheSourceCellPutsTheTileBack) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    rig.drag(6, 6);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    expectBoardPixels(rig);
}

TEST(DirectDrag, DropOnTheBlankMovesTheBlankToTheSource) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    rig.drag(2, 15);
    Board expected = goalBoard;
    expected[15] = 3;
    expected[2] = 0;
    EXPECT_EQ(rig.dialog.view().board, expected);
    expectBoardPixels(rig);
}

TEST(DirectDrag, TheBlankLiftsNothing) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(15));
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    EXPECT_EQ(rig.host.confineCount, 0);
    rig.host.mouse(MouseEvent::move, rig.cellCentre(3));
    rig.host.mouse(MouseEvent::leftUp, rig.cellCentre(3));
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.host.releaseCount, 0);
}

TEST(DirectDrag, RandomDragsKeepEveryValueOnce) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    std::mt19937 random(5);
    for (int i = 0; i < 500; ++i) {
        const int from = static_cast<int>(random() % 16);
        const int to = static_cast<int>(random() % 16);
        Board expected = rig.dialog.view().board;
        if (expected[static_cast<size_t>(from)] != 0)
            std::swap(expected[static_cast<size_t>(from)], expected[static_cast<size_t>(to)]);
        rig.drag(from, to);
        ASSERT_EQ(rig.dialog.view().board, expected) << "drag " << from << " -> " << to;
        ASSERT_TRUE(isValidBoard(rig.dialog.view().board));
    }
    expectBoardPixels(rig);
}

// The rectangle test includes the right and bottom edges; a click there must not
// be taken for column or row 4.
TEST(EdgeClicks, BackwardIgnoresTheRightAndBottomEdges) {
    DialogRig rig;
    rig.host.click(idBackward);
    const Rect r = rig.dialog.view().rect();
    for (const Point p :
         {Point{r.right, r.top + 3 * 64 + 32}, Point{r.left + 3 * 64 + 32, r.bottom},
          Point{r.right, r.bottom}, Point{r.right, r.top + 2 * 64 + 32}}) {
        rig.host.mouse(MouseEvent::leftDown, p);
        rig.host.mouse(MouseEvent::leftUp, p);
        EXPECT_EQ(rig.dialog.view().board, goalBoard) << p.x << "," << p.y;
        EXPECT_EQ(rig.dialog.view().backwardCount, 0);
    }
    // One pixel inside is cell 11, next to the blank.
    rig.host.mouse(MouseEvent::leftDown, Point{r.right - 1, r.top + 2 * 64 + 32});
    EXPECT_EQ(rig.dialog.view().board[15], 12);
    EXPECT_EQ(rig.dialog.view().backwardCount, 1);
    // Taken as column 4, the right edge of row 0 would be cell 4, next to the
    // blank at 8.
    rig.backwardClicks({14, 13, 12, 8});
    const Board blankAt8 = rig.dialog.view().board;
    rig.host.mouse(MouseEvent::leftDown, Point{r.right, r.top + 32});
    EXPECT_EQ(rig.dialog.view().board, blankAt8);
    // The left and top edges belong to cell 0.
    rig.clickCell(4);
    ASSERT_EQ(blankOf(rig.dialog.view().board), 4);
    rig.host.mouse(MouseEvent::leftDown, Point{r.left, r.top});
    EXPECT_EQ(blankOf(rig.dialog.view().board), 0);
}

TEST(EdgeClicks, DragIgnoresTheEdgesAndOutside) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    const Rect r = rig.dialog.view().rect();
    for (const Point p :
         {Point{r.right, r.top + 10}, Point{r.left + 10, r.bottom}, Point{r.left - 1, r.top + 10},
          Point{r.right + 1, r.top + 10}, Point{r.left + 10, r.top - 1}}) {
        rig.host.mouse(MouseEvent::leftDown, p);
        EXPECT_EQ(rig.dialog.view().motion.tile, 0) << p.x << "," << p.y;
        rig.host.mouse(MouseEvent::leftUp, p);
        EXPECT_EQ(rig.dialog.view().board, goalBoard);
    }
    EXPECT_EQ(rig.host.confineCount, 0);
}

// Released anywhere off the cells (the right and bottom edges included), a drag
// is called off: the tile goes back where it was lifted, nothing is swapped.
TEST(EdgeClicks, ReleaseOffTheBoardPutsTheTileBack) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    const Board before = goalBoard;
    const Rect r = rig.dialog.view().rect();
    for (const Point p : {Point{r.right, r.bottom}, Point{r.right + 40, r.bottom + 40},
                          Point{r.left - 30, r.top + 100}, Point{r.left + 100, r.top - 5},
                          Point{r.right + 300, r.top + 10}, Point{r.left + 50, r.bottom}}) {
        rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(5));
        ASSERT_EQ(rig.dialog.view().motion.tile, 6);
        rig.host.mouse(MouseEvent::move, p);
        EXPECT_EQ(rig.dialog.view().motion.tile, 6) << "still held off the board";
        rig.host.mouse(MouseEvent::leftUp, p);
        EXPECT_EQ(rig.dialog.view().motion.tile, 0);
        EXPECT_EQ(rig.dialog.view().board, before) << p.x << "," << p.y;
    }
    // Half off the board, the lifted tile still shows what is on it.
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(0));
    rig.host.mouse(MouseEvent::move, Point{r.left - 20, r.top + 32});
    EXPECT_EQ(rig.host.shown.at(0, 32), artworkPixel(1, 52, 32));
    rig.host.mouse(MouseEvent::leftUp, Point{r.left - 20, r.top + 32});
    EXPECT_EQ(rig.dialog.view().board, before);
    expectBoardPixels(rig);
}

// Outside the editing modes a click plays the tile beside the blank it is on and
// nothing else: no drag, no slide of a tile away from the blank.
TEST(BoardMouse, OutsideTheEditingModesOnlyATileBesideTheBlankSlides) {
    DialogRig rig;
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(0));  // idle, far from the blank
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    rig.clickCell(14);
    Board played = goalBoard;
    std::swap(played[14], played[15]);
    EXPECT_EQ(rig.dialog.view().board, played);
    rig.host.click(idShuffle);
    const Board shuffled = rig.dialog.view().board;
    const int blank = blankOf(shuffled);
    const int far = blank < 8 ? 15 - (blank % 4) : blank % 4;  // two rows away at least
    rig.drag(far, blank);
    rig.clickCell(far);
    EXPECT_EQ(rig.dialog.view().board, shuffled);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
}

TEST(Redraw, ShowsEveryTileImageInItsCell) {
    DialogRig rig;
    expectBoardPixels(rig);
    for (int i = 0; i < 5; ++i) {
        rig.host.click(idShuffle);
        expectBoardPixels(rig);
        EXPECT_EQ(rig.host.shownRect.left, rig.dialog.view().rect().left);
        EXPECT_EQ(rig.host.shownRect.top, rig.dialog.view().rect().top);
        EXPECT_EQ(rig.host.shownRect.width(), 256);
    }
    const int before = rig.host.invalidateCount;
    rig.host.paint();
    EXPECT_EQ(rig.host.invalidateCount, before + 1);
    expectBoardPixels(rig);
}

// The tiles the host was told of, drawn from the artwork in their order, give the
// surface it was shown: a platform that redraws them sharper shows the same board.
void expectTilesRecomposeTheSurface(const DialogRig& rig) {
    Surface artwork = rig.host.artwork;
    fillRect(artwork, Rect{0, 0, 64, 64}, rig.host.buttonFace);
    Surface composed;
    composed.resize(256, 256);
    const BoardTiles& tiles = rig.host.shownTiles;
    ASSERT_GE(tiles.count, 16);
    for (int i = 0; i < tiles.count; ++i) {
        const TileSprite& s = tiles.sprites[static_cast<size_t>(i)];
        copyBlock(composed, s.x, s.y, artwork, 64 * (s.tile % 4), 64 * (s.tile / 4), 64, 64);
    }
    ASSERT_TRUE(composed.pixels == rig.host.shown.pixels) << tiles.count << " tiles";
}

TEST(Redraw, TheToldTilesRecomposeTheSurfaceWhileDraggingAndPlaying) {
    DialogRig rig;
    rig.makeReady();
    expectTilesRecomposeTheSurface(rig);
    std::mt19937 random(8);
    rig.host.click(idDirectDrag);
    const Rect board = rig.dialog.view().rect();
    for (int drag = 0; drag < 20; ++drag) {
        rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(static_cast<int>(random() % 16)));
        for (int step = 0; step < 10; ++step) {
            // Anywhere on the board, odd pixels and edges included.
            const Point p{board.left + static_cast<int>(random() % 257),
                          board.top + static_cast<int>(random() % 257)};
            rig.host.mouse(MouseEvent::move, p);
            expectTilesRecomposeTheSurface(rig);
        }
        rig.host.mouse(MouseEvent::leftUp, rig.cellCentre(static_cast<int>(random() % 16)));
        expectTilesRecomposeTheSurface(rig);
    }
    rig.backwardClicks({14, 13, 9, 10});
    rig.solveAndWait();
    ASSERT_TRUE(rig.host.click(idTrace));
    for (int tick = 0; tick < 4 * 9; ++tick) {
        rig.host.advance(10);
        expectTilesRecomposeTheSurface(rig);
    }
}

}  // namespace
}  // namespace fifteen::ui
