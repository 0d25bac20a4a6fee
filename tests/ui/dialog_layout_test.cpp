// The dialog's layout, pointer and key policy, as every window system reads them:
// at any client size every control stays inside and clear of the board, what
// stands in the output box's place follows it, each cell answers where it is
// drawn, and the keys go where the dialog expects.

#include <gtest/gtest.h>

#include <random>

#include "ui/board_view.h"
#include "ui/dialog_layout.h"
#include "ui/key_policy.h"
#include "ui/startup.h"

namespace fifteen::ui {
namespace {

bool intersects(Rect a, Rect b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool inside(Rect outer, Rect inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The board as the dialog logic places it in that layout (client coordinates).
Rect boardOf(const DialogLayout& layout, Size client) {
    const Rect window{0, 0, client.width, client.height};
    return placeBoard(window, window, Point{0, 0}, layout.control(idOutput),
                      layout.control(idProblemGroup), layout.control(idSeparator))
        .board;
}

TEST(DialogLayout, AtAnySizeTheControlsAndTheShownBoardFitAndStayApart) {
    std::mt19937 random(7);
    for (const DialogBaseUnits units : {DialogBaseUnits{6, 13}, DialogBaseUnits{9, 20}}) {
        const Size smallest = smallestClient(units);
        for (int trial = 0; trial < 200; ++trial) {
            const Size client{smallest.width + static_cast<int>(random() % 900),
                              smallest.height + static_cast<int>(random() % 700)};
            const DialogLayout layout = layOutDialog(units, client);
            const Rect area{0, 0, client.width, client.height};
            // The dialog logic places its board once, in the template's layout.
            const Rect shown = shownBoard(boardOf(layOutDialog(units, smallest), smallest), layout);
            EXPECT_EQ(shown.width(), shown.height());
            EXPECT_EQ(shown.width() % 4, 0);
            EXPECT_TRUE(inside(area, shown));
            for (const auto& [id, rect] : layout.controls) {
                EXPECT_TRUE(inside(area, rect)) << id;
                EXPECT_FALSE(intersects(rect, shown))
                    << id << " at " << client.width << "x" << client.height;
            }
            // The output box takes what the board leaves, to the right and bottom edges.
            const Rect smallBox = layOutDialog(units, smallest).output();
            EXPECT_EQ(client.width - layout.output().right, smallest.width - smallBox.right);
            EXPECT_EQ(layout.aboveOutput(13).bottom, layout.output().top);
        }
    }
}

TEST(DialogLayout, EveryCellAnswersWhereItIsDrawnAtAnySize) {
    const Rect board{30, 60, 30 + boardPixels, 60 + boardPixels};
    for (const int growth : {0, 4, 64, 256, 500}) {
        const Rect shown = shownBoard(board, growth, growth / 3);
        const double cell = shown.width() / 4.0;
        for (int c = 0; c < 16; ++c) {
            // The drawn cell's corners, just inside, and its centre.
            const double left = shown.left + cell * (c % 4), top = shown.top + cell * (c / 4);
            for (const auto& [fx, fy] : {std::pair{0.02, 0.02}, std::pair{0.5, 0.5},
                                         std::pair{0.97, 0.97}, std::pair{0.02, 0.97}}) {
                const Point p{static_cast<int>(left + fx * cell),
                              static_cast<int>(top + fy * cell)};
                const Point logic = boardPointToLogic(board, shown, p);
                const int cellThere =
                    (logic.x - board.left) / cellPixels + 4 * ((logic.y - board.top) / cellPixels);
                EXPECT_EQ(cellThere, c) << "growth " << growth;
            }
        }
    }
}

TEST(DialogLayout, AKeptWindowSizeIsBoundedByTheScreenAndTheTemplate) {
    const Size smallest{519, 351}, room{1280, 720};
    EXPECT_EQ(keptWindowSize({0, 0}, room, smallest), smallest);
    EXPECT_EQ(keptWindowSize({900, 500}, room, smallest), (Size{900, 500}));
    EXPECT_EQ(keptWindowSize({5000, 5000}, room, smallest), room);
    EXPECT_EQ(keptWindowSize({5000, 5000}, Size{300, 200}, smallest), smallest);
}

TEST(KeyPolicy, TheOutputBoxKeepsItsCursorKeysAndButtonsNeverSeeABoardKey) {
    const KeyCode codes[] = {KeyCode::left,    KeyCode::right, KeyCode::up,      KeyCode::down,
                             KeyCode::home,    KeyCode::end,   KeyCode::plus,    KeyCode::minus,
                             KeyCode::escape,  KeyCode::f1,    KeyCode::letterH, KeyCode::letterC,
                             KeyCode::letterT, KeyCode::enter, KeyCode::other};
    for (const KeyCode code : codes) {
        for (int mods = 0; mods < 8; ++mods) {
            const KeyPress press{code, (mods & 1) != 0, (mods & 2) != 0, (mods & 4) != 0};
            const std::optional<Key> key = boardKey(press);
            if (press.alt) {
                EXPECT_FALSE(key.has_value());
            }
            const KeyRoute atButton = routeKey(ControlKind::pushButton, press, key);
            const KeyRoute atOutput = routeKey(ControlKind::outputBox, press, key);
            if (code == KeyCode::enter && mods == 0) {
                EXPECT_EQ(atButton, KeyRoute::pressButton);
                continue;
            }
            EXPECT_EQ(atButton, key ? KeyRoute::board : KeyRoute::control);
            EXPECT_EQ(atOutput, key && !outputBoxKeeps(*key) ? KeyRoute::board : KeyRoute::control);
        }
    }
    EXPECT_EQ(boardKey({KeyCode::letterC, false, true, false}), Key::copy);
    EXPECT_EQ(boardKey({KeyCode::insert, true, false, false}), Key::paste);
    EXPECT_EQ(boardKey({KeyCode::plus, true, false, false}), Key::faster);
    EXPECT_EQ(boardKey({KeyCode::f10, true, false, false}), Key::menu);
    EXPECT_FALSE(boardKey({KeyCode::letterH, false, true, false}));
}

}  // namespace
}  // namespace fifteen::ui
