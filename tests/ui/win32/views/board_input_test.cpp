// What the board window hands the dialog logic: every pixel drawn in a cell
// answers as that cell through the mouse, at any shown size; the button's press
// captures the pointer; right clicks; text drops on the board only; the cursor
// clip; the accessible name and the keys it asks for.

#include <windowsx.h>

#include <cmath>
#include <cstring>

#include "tests/ui/win32/views/views_test_support.h"
#include "ui/board_view.h"
#include "ui/dialog_layout.h"
#include "ui/win32/text.h"
#include "ui/win32/views/board_window.h"

using namespace fifteen::ui;
using namespace fifteen::ui::win32;
using namespace fifteen::ui::win32::testing;

namespace {

constexpr Rect logicBoard{30, 40, 30 + boardPixels, 40 + boardPixels};

Rect shownAt(int width) {
    return Rect{logicBoard.left, logicBoard.top + 17, logicBoard.left + width,
                logicBoard.top + 17 + width};
}

LPARAM pointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                      static_cast<WORD>(static_cast<short>(y)));
}

int logicCell(Point p) {
    return boardCellAt(Point{p.x - logicBoard.left, p.y - logicBoard.top});
}

class BoardInputTest : public OleTest {
  protected:
    void SetUp() override {
        OleTest::SetUp();
        host = &HostWindow::get();
        board = std::make_unique<BoardWindow>(host->hwnd(), handler);
        ASSERT_NE(board->hwnd(), nullptr);
    }
    void TearDown() override {
        board.reset();
        OleTest::TearDown();
    }
    // A point of the dialog's client area in the board window's client area.
    POINT inWindow(int x, int y) const {
        const Rect shown = board->shownRect();
        return POINT{x - shown.left + board->focusMargin(), y - shown.top + board->focusMargin()};
    }
    POINT onScreen(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(host->hwnd(), &p);
        return p;
    }

    RecordingHandler handler;
    HostWindow* host = nullptr;
    std::unique_ptr<BoardWindow> board;
};

class BoardMouseTest : public BoardInputTest, public ::testing::WithParamInterface<int> {};

// Every pixel of a row and a column through each cell, as drawn at this size
// (tiles of round(64 * size / 256) pixels), answers as the cell it is drawn in.
TEST_P(BoardMouseTest, EveryDrawnCellMapsBackToItself) {
    const int width = GetParam();
    board->place(logicBoard, shownAt(width));
    const Rect shown = board->shownRect();
    const int side = static_cast<int>(std::lround(cellPixels * width / double(boardPixels)));
    RECT window;
    GetWindowRect(board->hwnd(), &window);
    EXPECT_EQ(window.right - window.left, width + 2 * board->focusMargin());
    for (int line = 0; line < 4; ++line) {
        const int across = line * side + side / 2;
        for (int along = 0; along < 4 * side; ++along) {
            for (const auto& [x, y] : {std::pair{along, across}, std::pair{across, along}}) {
                const POINT p = inWindow(shown.left + x, shown.top + y);
                handler.mouse.clear();
                SendMessageW(board->hwnd(), WM_MOUSEMOVE, 0, pointParam(p.x, p.y));
                ASSERT_EQ(handler.mouse.size(), 1u);
                ASSERT_EQ(logicCell(handler.mouse[0].point), x / side + 4 * (y / side))
                    << "pixel " << x << "," << y;
            }
        }
    }
    // Just outside the shown board, the logic hears of a point off its board.
    const POINT off = inWindow(shown.left - 1, shown.top + side / 2);
    handler.mouse.clear();
    SendMessageW(board->hwnd(), WM_MOUSEMOVE, 0, pointParam(off.x, off.y));
    ASSERT_EQ(handler.mouse.size(), 1u);
    EXPECT_EQ(logicCell(handler.mouse[0].point), -1);
}

INSTANTIATE_TEST_SUITE_P(ShownSizes, BoardMouseTest, ::testing::Values(256, 300, 384, 512, 768));

// A press at each cell's centre: down and up reach the logic in that cell, the
// pointer is held by the board between them, and the board takes the focus.
TEST_F(BoardInputTest, APressCapturesThePointerUntilTheRelease) {
    board->place(logicBoard, shownAt(384));
    const Rect shown = board->shownRect();
    for (int cell = 0; cell < 16; ++cell) {
        const POINT p =
            inWindow(shown.left + 96 * (cell % 4) + 48, shown.top + 96 * (cell / 4) + 48);
        handler.mouse.clear();
        SendMessageW(board->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(p.x, p.y));
        EXPECT_EQ(GetCapture(), board->hwnd());
        // Dragged off the board, the moves still arrive.
        SendMessageW(board->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, pointParam(-50, -60));
        SendMessageW(board->hwnd(), WM_LBUTTONUP, 0, pointParam(p.x, p.y));
        EXPECT_NE(GetCapture(), board->hwnd());
        ASSERT_EQ(handler.mouse.size(), 3u);
        EXPECT_EQ(handler.mouse[0].event, MouseEvent::leftDown);
        EXPECT_EQ(logicCell(handler.mouse[0].point), cell);
        EXPECT_EQ(handler.mouse[1].event, MouseEvent::move);
        EXPECT_LT(handler.mouse[1].point.x, logicBoard.left);
        EXPECT_EQ(handler.mouse[2].event, MouseEvent::leftUp);
        EXPECT_EQ(logicCell(handler.mouse[2].point), cell);
    }
    EXPECT_EQ(GetFocus(), board->hwnd());
}

// A right click opens the logic's menu at the cell; the Menu key's message (no
// point) goes on to the dialog.
TEST_F(BoardInputTest, RightClicksReachTheLogicAndTheMenuKeyTheDialog) {
    board->place(logicBoard, shownAt(512));
    const Rect shown = board->shownRect();
    const POINT at = onScreen(shown.left + 128 * 2 + 64, shown.top + 128 + 64);
    SendMessageW(board->hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(board->hwnd()),
                 pointParam(at.x, at.y));
    ASSERT_EQ(handler.menus.size(), 1u);
    EXPECT_EQ(logicCell(handler.menus[0]), 6);
    const POINT p = inWindow(shown.left + 10, shown.top + 3 * 128 + 10);
    SendMessageW(board->hwnd(), WM_RBUTTONUP, 0, pointParam(p.x, p.y));
    ASSERT_EQ(handler.menus.size(), 2u);
    EXPECT_EQ(logicCell(handler.menus[1]), 12);
    SendMessageW(board->hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(board->hwnd()), -1);
    EXPECT_EQ(handler.menus.size(), 2u);
    EXPECT_EQ(host->contextMenus, 1);
}

// A data object holding text, or nothing.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TextData final : public IDataObject {
  public:
    explicit TextData(std::wstring text, bool hasText = true)
        : text_(std::move(text)), hasText_(hasText) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        const size_t bytes = (text_.size() + 1) * sizeof(wchar_t);
        HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(global), text_.c_str(), bytes);
        GlobalUnlock(global);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        ++gets;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return hasText_ && format->cfFormat == CF_UNICODETEXT && (format->tymed & TYMED_HGLOBAL)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    int gets = 0;

  private:
    std::wstring text_;
    bool hasText_;
};
#pragma GCC diagnostic pop

// Text dropped on the shown board reaches the logic as UTF-8; beside the board,
// or without text, the drop is refused.
TEST_F(BoardInputTest, TextDroppedOnTheBoardReachesTheLogic) {
    board->place(logicBoard, shownAt(384));
    // Registered with OLE for the window: a second registration is refused.
    EXPECT_EQ(RegisterDragDrop(board->hwnd(), board->dropTarget()), DRAGDROP_E_ALREADYREGISTERED);
    IDropTarget* target = board->dropTarget();
    ASSERT_NE(target, nullptr);
    const Rect shown = board->shownRect();
    const POINT inside = onScreen(shown.left + 200, shown.top + 100);
    const POINT beside = onScreen(shown.left - 2, shown.top + 100);
    const std::string text = "15 14 13 12 11 10 9 8 7 6 5 4 3 2 1 0 \xC3\xA9";
    TextData data(widen(text));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(&data, MK_LBUTTON, POINTL{inside.x, inside.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY;
    target->DragOver(MK_LBUTTON, POINTL{beside.x, beside.y}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    target->Drop(&data, 0, POINTL{beside.x, beside.y}, &effect);
    EXPECT_TRUE(handler.drops.empty());
    effect = DROPEFFECT_COPY;
    target->DragEnter(&data, MK_LBUTTON, POINTL{inside.x, inside.y}, &effect);
    target->Drop(&data, 0, POINTL{inside.x, inside.y}, &effect);
    ASSERT_EQ(handler.drops.size(), 1u);
    EXPECT_EQ(handler.drops[0], text);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));

    TextData none(L"", false);
    effect = DROPEFFECT_COPY;
    target->DragEnter(&none, MK_LBUTTON, POINTL{inside.x, inside.y}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->Drop(&none, 0, POINTL{inside.x, inside.y}, &effect);
    EXPECT_EQ(handler.drops.size(), 1u);
    EXPECT_EQ(none.gets, 0);
}

// The logic's clip square, shown larger: every point of the shown square maps
// into the logic's, and the points just outside it map outside.
TEST(LogicRectToShown, CoversExactlyThePointsThatMapInside) {
    const Rect logic{logicBoard.left + 8, logicBoard.top + 8, logicBoard.right - 8,
                     logicBoard.bottom - 8};
    for (const int width : {256, 300, 384, 500, 512, 768}) {
        const Rect shown = shownAt(width);
        const Rect clip = logicRectToShown(logicBoard, shown, logic);
        const auto inside = [&](Point p) {
            const Point q = boardPointToLogic(logicBoard, shown, p);
            return q.x >= logic.left && q.x < logic.right && q.y >= logic.top && q.y < logic.bottom;
        };
        const int mid = (clip.top + clip.bottom) / 2;
        EXPECT_TRUE(inside(Point{clip.left, mid})) << width;
        EXPECT_TRUE(inside(Point{clip.right - 1, mid})) << width;
        EXPECT_FALSE(inside(Point{clip.left - 1, mid})) << width;
        EXPECT_FALSE(inside(Point{clip.right, mid})) << width;
        const int centre = (clip.left + clip.right) / 2;
        EXPECT_TRUE(inside(Point{centre, clip.top})) << width;
        EXPECT_TRUE(inside(Point{centre, clip.bottom - 1})) << width;
        EXPECT_FALSE(inside(Point{centre, clip.top - 1})) << width;
        EXPECT_FALSE(inside(Point{centre, clip.bottom})) << width;
    }
}

// Confined, the cursor is clipped to the shown part of the logic's square, on
// the screen; released, it is free again.
TEST_F(BoardInputTest, ConfineClipsTheCursorToTheShownSquare) {
    board->place(logicBoard, shownAt(512));
    RECT before;
    GetClipCursor(&before);
    const POINT origin = onScreen(0, 0);
    const Rect logic{origin.x + logicBoard.left + 8, origin.y + logicBoard.top + 8,
                     origin.x + logicBoard.right - 8, origin.y + logicBoard.bottom - 8};
    board->confine(logic);
    RECT clip;
    GetClipCursor(&clip);
    const Rect shown = board->shownRect();
    EXPECT_EQ(clip.left, origin.x + shown.left + 16);
    EXPECT_EQ(clip.top, origin.y + shown.top + 16);
    EXPECT_EQ(clip.right, origin.x + shown.right - 16);
    EXPECT_EQ(clip.bottom, origin.y + shown.bottom - 16);
    board->release();
    RECT after;
    GetClipCursor(&after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(BoardInputTest, TheWindowIsAFocusableChildNamedByItsDescription) {
    const HWND hwnd = board->hwnd();
    EXPECT_EQ(GetParent(hwnd), host->hwnd());
    EXPECT_EQ(GetDlgCtrlID(hwnd), boardWindowId);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_EQ(SendMessageW(hwnd, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
    const std::string description = "Row 1: 1 2 3 4. Row 4: 13 14 15 blank.";
    board->setDescription(description);
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    EXPECT_EQ(narrow(text), description);
}

}  // namespace
