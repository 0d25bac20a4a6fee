// The board window's painting read back pixel by pixel: at its own size the
// board surface itself; larger, each tile from the artwork of the shown size
// (the files the resources were made from are the oracle), a tile in motion at
// its place and what else the surface shows scaled over them; the marks on whole
// pixels, the note band and the focus marks.

#include <algorithm>
#include <cmath>
#include <numeric>
#include <ostream>
#include <random>

#include "tests/ui/win32/views/views_test_support.h"
#include "ui/board_view.h"
#include "ui/win32/views/board_window.h"
#include "ui/win32/views/tile_artwork.h"

using namespace fifteen::ui;
using namespace fifteen::ui::win32;
using namespace fifteen::ui::win32::testing;

namespace {

constexpr Color red = 0xFF0000;
constexpr Color green = 0x1EA032;
constexpr Rect logicBoard{20, 24, 20 + boardPixels, 24 + boardPixels};

Rect shownAt(int width) {
    return Rect{logicBoard.left, logicBoard.top + 6, logicBoard.left + width,
                logicBoard.top + 6 + width};
}

Color darkened(Color c) {
    return ((((c >> 16) & 0xFF) * 85 / 255) << 16) | ((((c >> 8) & 0xFF) * 85 / 255) << 8) |
           ((c & 0xFF) * 85 / 255);
}

class BoardPaintTest : public OleTest {
  protected:
    void SetUp() override {
        OleTest::SetUp();
        host = &HostWindow::get();
        board = std::make_unique<BoardWindow>(host->hwnd(), handler);
        ASSERT_NE(board->hwnd(), nullptr);
        ASSERT_TRUE(loadTileArtwork(art));
        cells.resize(16);
        std::iota(cells.begin(), cells.end(), 0);
        std::mt19937 random(29);
        std::shuffle(cells.begin(), cells.end(), random);
        // A tile lifted from cell 5, held over cells 10, 11, 14 and 15.
        moving = cells[5] == 0 ? cells[6] : cells[5];
        std::replace(cells.begin(), cells.end(), moving, 0);
        surface = composeBoard(art, buttonFace(), cells, moving, movingX, movingY, sprites);
    }
    void TearDown() override {
        board.reset();
        OleTest::TearDown();
    }
    void show(int width, const Surface& what) {
        board->place(logicBoard, shownAt(width));
        board->setTiles(sprites);
        board->showSurface(logicBoard, what);
    }

    RecordingHandler handler;
    HostWindow* host = nullptr;
    std::unique_ptr<BoardWindow> board;
    Surface art;
    std::vector<int32_t> cells;
    int32_t moving = 0;
    const int movingX = 2 * cellPixels + 13;
    const int movingY = 2 * cellPixels + 43;
    BoardTiles sprites;
    Surface surface;
};

TEST_F(BoardPaintTest, AtItsOwnSizeTheBoardIsTheSurface) {
    Surface marked = surface;
    fillRect(marked, Rect{8, 8, 16, 16}, red);
    show(boardPixels, marked);
    const Surface shown = board->render();
    ASSERT_EQ(shown.width, boardPixels);
    ASSERT_EQ(shown.height, boardPixels);
    EXPECT_EQ(differingPixels(marked, Rect{0, 0, boardPixels, boardPixels}, shown, 0, 0), 0);
}

struct Resolution {
    int width;
    const char* file;
};
void PrintTo(const Resolution& resolution, std::ostream* out) {
    *out << resolution.width << " from " << resolution.file;
}

class BoardArtworkTest : public BoardPaintTest, public ::testing::WithParamInterface<Resolution> {};

// Each cell the moving tile and the mark leave alone is the artwork of the shown
// resolution; the moving tile is too, where it was put; the mark shows scaled.
TEST_P(BoardArtworkTest, TilesComeFromTheArtworkOfTheShownSize) {
    const Resolution resolution = GetParam();
    Surface file = readBmpFile(artworkFile(resolution.file));
    ASSERT_EQ(file.width, resolution.width);
    const int side = resolution.width / 4;
    fillRect(file, Rect{0, 0, side, side}, buttonFace());
    Surface marked = surface;
    fillRect(marked, Rect{8, 8, 16, 16}, red);
    show(resolution.width, marked);
    const Surface shown = board->render();
    ASSERT_EQ(shown.width, resolution.width);
    const auto tileAt = [&](int32_t tile) {
        return Rect{side * (tile % 4), side * (tile / 4), side * (tile % 4 + 1),
                    side * (tile / 4 + 1)};
    };
    for (const int cell : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) {
        EXPECT_EQ(differingPixels(file, tileAt(cells[static_cast<size_t>(cell)]), shown,
                                  side * (cell % 4), side * (cell / 4)),
                  0)
            << "cell " << cell;
    }
    const auto device = [side](int pixels) {
        return static_cast<int>(std::lround(pixels * side / 64.0));
    };
    EXPECT_EQ(differingPixels(file, tileAt(moving), shown, device(movingX), device(movingY)), 0);
    // Not the one-to-one picture scaled up: that would differ from the artwork.
    if (side != cellPixels) {
        int scaledUp = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const Color one =
                    surface.at(cellPixels + x * cellPixels / side, y * cellPixels / side);
                scaledUp += one != shown.at(side + x, y);
            }
        }
        EXPECT_GT(scaledUp, side * side / 50);
    }
    for (int y = device(8); y < device(16); ++y) {
        for (int x = device(8); x < device(16); ++x) {
            ASSERT_EQ(shown.at(x, y), red) << x << "," << y;
        }
    }
    EXPECT_NE(shown.at(device(16) + 1, device(16) + 1), red);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, BoardArtworkTest,
                         ::testing::Values(Resolution{256, "tiles.bmp"},
                                           Resolution{384, "tiles@1.5x.bmp"},
                                           Resolution{512, "tiles@2x.bmp"},
                                           Resolution{768, "tiles@3x.bmp"}),
                         [](const ::testing::TestParamInfo<Resolution>& param) {
                             return "shown_" + std::to_string(param.param.width);
                         });

// Between the artwork's sizes the next larger one is shrunk, never the smaller
// one grown.
TEST_F(BoardPaintTest, BetweenSizesTheLargerArtworkIsShrunk) {
    Surface file = readBmpFile(artworkFile("tiles@1.5x.bmp"));
    ASSERT_EQ(file.width, 384);
    const int width = 300, side = 75;
    const Surface shrunk = scaledHalftone(file, 4 * side, 4 * side);
    show(width, surface);
    const Surface shown = board->render();
    for (const int cell : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13}) {
        const int32_t tile = cells[static_cast<size_t>(cell)];
        if (tile == 0) continue;
        EXPECT_EQ(differingPixels(shrunk,
                                  Rect{side * (tile % 4), side * (tile / 4), side * (tile % 4 + 1),
                                       side * (tile / 4 + 1)},
                                  shown, side * (cell % 4), side * (cell / 4)),
                  0)
            << "cell " << cell;
    }
}

class BoardMarksTest : public BoardPaintTest, public ::testing::WithParamInterface<int> {};

// The optimal-move frame a fixed whole number of pixels wide with the artwork
// right beside it, whole in every cell; the +2 badge white on red; gone again.
TEST_P(BoardMarksTest, MarksLieOnWholePixelsInEveryMarkedCell) {
    const int width = GetParam();
    std::iota(cells.begin(), cells.end(), 1);
    cells[15] = 0;
    surface = composeBoard(art, buttonFace(), cells, 0, 0, 0, sprites);
    show(width, surface);
    const Surface plain = board->render();
    const double scale = width / double(boardPixels);
    const auto device = [scale](int pixels) {
        return static_cast<int>(std::lround(pixels * scale));
    };
    const int side = device(cellPixels), frame = std::max(2, device(3)), corner = side / 4;
    BoardMarks marks;
    marks.cells[11] = TileMark::optimal;
    marks.cells[14] = TileMark::costly;
    board->setMarks(marks);
    const Surface shot = board->render();
    const int x11 = 3 * side, y11 = 2 * side, middle = y11 + side / 2;
    for (int x = 0; x < frame; ++x) EXPECT_EQ(shot.at(x11 + x, middle), green) << x;
    for (int x = frame; x < side / 3; ++x) {
        EXPECT_EQ(shot.at(x11 + x, middle), plain.at(x11 + x, middle)) << x;
    }
    int white = 0, changed = 0;
    for (int y = 3 * side; y < 3 * side + side / 2; ++y) {
        for (int x = 2 * side + side / 2; x < 3 * side; ++x) {
            white += shot.at(x, y) == 0xFFFFFF;
            changed += shot.at(x, y) != plain.at(x, y);
        }
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(changed, device(10) * device(10));

    for (const int c : {0, 5, 10, 15, 6, 9}) {
        BoardMarks each;
        each.cells[static_cast<size_t>(c)] = TileMark::optimal;
        board->setMarks(each);
        const Surface framed = board->render();
        const int left = (c % 4) * side, top = (c / 4) * side;
        int missing = 0, stray = 0;
        for (int dy = 0; dy < side; ++dy) {
            for (int dx = 0; dx < side; ++dx) {
                const bool band =
                    dx < frame || dy < frame || dx >= side - frame || dy >= side - frame;
                const Color got = framed.at(left + dx, top + dy);
                if (band || dx + dy < corner) {
                    missing += got != green;
                } else {
                    stray += got != plain.at(left + dx, top + dy);
                }
            }
        }
        EXPECT_EQ(missing, 0) << "cell " << c;
        EXPECT_EQ(stray, 0) << "cell " << c;
    }
    board->setMarks(BoardMarks{});
    const Surface cleared = board->render();
    EXPECT_EQ(differingPixels(plain, Rect{0, 0, width, width}, cleared, 0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(ShownSizes, BoardMarksTest, ::testing::Values(256, 300, 384, 512));

// A darkened band across the middle with white text on it; the rest untouched.
TEST_F(BoardPaintTest, TheNoteShowsOnABandAcrossTheMiddle) {
    show(384, surface);
    const Surface plain = board->render();
    board->setNote("Solved in 42 moves");
    const Surface noted = board->render();
    const int w = noted.width;
    std::vector<int> bandRows;
    for (int y = 0; y < w; ++y) {
        const bool darkLeft = noted.at(0, y) == darkened(plain.at(0, y));
        const bool darkRight = noted.at(w - 1, y) == darkened(plain.at(w - 1, y));
        const bool same = noted.at(0, y) == plain.at(0, y);
        if (darkLeft && darkRight && !same) bandRows.push_back(y);
    }
    ASSERT_FALSE(bandRows.empty());
    EXPECT_EQ(bandRows.back() - bandRows.front() + 1, static_cast<int>(bandRows.size()));
    EXPECT_GE(bandRows.size(), 20u);
    EXPECT_LE(bandRows.front(), w / 2);
    EXPECT_GE(bandRows.back(), w / 2);
    int white = 0;
    for (int y = 0; y < w; ++y) {
        const bool inBand = y >= bandRows.front() && y <= bandRows.back();
        for (int x = 0; x < w; ++x) {
            if (inBand) {
                white += noted.at(x, y) == 0xFFFFFF;
            } else {
                ASSERT_EQ(noted.at(x, y), plain.at(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(white, 30);
    board->setNote("");
    EXPECT_EQ(differingPixels(plain, Rect{0, 0, w, w}, board->render(), 0, 0), 0);
}

// Dotted marks in the text colour in the margin round the board while it has the
// keyboard focus; none without it.
TEST_F(BoardPaintTest, FocusMarksSurroundTheFocusedBoardOnly) {
    for (const int width : {256, 512}) {
        show(width, surface);
        const Color ink = [] {
            const COLORREF c = GetSysColor(COLOR_WINDOWTEXT);
            return (static_cast<Color>(GetRValue(c)) << 16) |
                   (static_cast<Color>(GetGValue(c)) << 8) | GetBValue(c);
        }();
        const int margin = board->focusMargin();
        const auto marks = [&] {
            const Surface printed = printClient(board->hwnd());
            EXPECT_EQ(printed.width, width + 2 * margin);
            int count = 0;
            for (int y = 0; y < printed.height; ++y) {
                for (int x = 0; x < printed.width; ++x) {
                    const bool inside =
                        x >= margin && y >= margin && x < margin + width && y < margin + width;
                    if (!inside && printed.at(x, y) == ink) ++count;
                }
            }
            return count;
        };
        SetFocus(host->hwnd());
        EXPECT_EQ(marks(), 0);
        SetFocus(board->hwnd());
        ASSERT_EQ(GetFocus(), board->hwnd());
        EXPECT_GE(marks(), 4 * width / 4);
        SetFocus(host->hwnd());
        EXPECT_EQ(marks(), 0);
    }
}

// What render() reports is what the window puts on the screen, at the shown
// place in the dialog, with the dialog's own background round it.
TEST_F(BoardPaintTest, TheScreenShowsWhatRenderReports) {
    for (const int width : {256, 384}) {
        show(width, surface);
        BoardMarks marks;
        marks.cells[3] = TileMark::optimal;
        board->setMarks(marks);
        board->setNote("Note");
        const Surface screen = captureClient(host->hwnd());
        const Rect shown = board->shownRect();
        EXPECT_EQ(differingPixels(board->render(), Rect{0, 0, width, width}, screen, shown.left,
                                  shown.top),
                  0)
            << width;
        EXPECT_EQ(screen.at(shown.left - 1, shown.top - 1), buttonFace());
        board->setMarks(BoardMarks{});
        board->setNote("");
    }
}

// The dialog logic answers a paint by handing the surface over again; that must
// not ask for another paint, or the board would paint for ever.
TEST_F(BoardPaintTest, APaintAsksTheLogicOnceAndRestsAfter) {
    show(384, surface);
    handler.paintHook = [&] { board->showSurface(logicBoard, surface); };
    InvalidateRect(board->hwnd(), nullptr, FALSE);
    UpdateWindow(board->hwnd());
    EXPECT_GE(handler.paints, 1);
    EXPECT_FALSE(GetUpdateRect(board->hwnd(), nullptr, FALSE));
    const int paints = handler.paints;
    pumpMessages();
    EXPECT_EQ(handler.paints, paints);
    // Outside a paint, a new surface is shown at the next one.
    board->showSurface(logicBoard, surface);
    EXPECT_TRUE(GetUpdateRect(board->hwnd(), nullptr, FALSE));
}

}  // namespace
