#include "ui/win32/views/board_window.h"

#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "ui/dialog_layout.h"
#include "ui/win32/text.h"
#include "ui/win32/views/board_paint.h"
#include "ui/win32/views/canvas.h"
#include "ui/win32/views/gdi.h"

namespace fifteen::ui::win32 {

namespace {

constexpr wchar_t boardClassName[] = L"FifteenBoard";

void registerBoardClass(WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), boardClassName, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // Double-clicks arrive as two clicks, as the dialog logic counts them.
    wc.style = 0;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // painted whole, from one buffer: no flicker
    wc.lpszClassName = boardClassName;
    RegisterClassExW(&wc);
}

UINT dpiOf(HWND window) {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

// COM interfaces are released, never deleted through, so they have no virtual
// destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// Text dropped on the board: plain text only, as the Qt board takes it.
class DropTarget final : public IDropTarget {
  public:
    explicit DropTarget(BoardWindow* board) : board_(board) {}
    void detach() { board_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL point,
                                        DWORD* effect) override {
        FORMATETC format = textFormat();
        hasText_ = data && data->QueryGetData(&format) == S_OK;
        return DragOver(0, point, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL point, DWORD* effect) override {
        if (effect) *effect = accepts(point) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        hasText_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
        FORMATETC format = textFormat();
        hasText_ = data && data->QueryGetData(&format) == S_OK;
        const bool take = accepts(point);
        hasText_ = false;
        if (effect) *effect = take ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        if (!take) return S_OK;
        STGMEDIUM medium{};
        if (data->GetData(&format, &medium) != S_OK) return S_OK;
        std::wstring text;
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal))) {
            const size_t room = GlobalSize(medium.hGlobal) / sizeof(wchar_t);
            text.assign(chars, wcsnlen(chars, room));
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
        if (board_) board_->dropText(narrow(text));
        return S_OK;
    }

  private:
    ~DropTarget() = default;
    static FORMATETC textFormat() {
        return FORMATETC{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    }
    bool accepts(POINTL point) const {
        return board_ && hasText_ && board_->onShownBoard(POINT{point.x, point.y});
    }

    BoardWindow* board_;
    long references_ = 1;
    bool hasText_ = false;
};
#pragma GCC diagnostic pop

struct BoardWindow::ArtworkCache {
    SharpArtwork artwork;
};

BoardWindow::BoardWindow(HWND dialog, DialogHandler& handler)
    : dialog_(dialog), handler_(handler), artwork_(std::make_unique<ArtworkCache>()) {
    registerBoardClass(&BoardWindow::windowProc);
    hwnd_ = CreateWindowExW(0, boardClassName, L"", WS_CHILD | WS_TABSTOP | WS_VISIBLE, 0, 0, 0, 0,
                            dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(boardWindowId)),
                            GetModuleHandleW(nullptr), this);
    if (!hwnd_) return;
    auto* target = new DropTarget(this);
    if (RegisterDragDrop(hwnd_, target) == S_OK) {
        dropTarget_ = target;
    } else {
        target->detach();
        target->Release();
    }
}

BoardWindow::~BoardWindow() {
    release();
    if (hwnd_) DestroyWindow(hwnd_);
}

IDropTarget* BoardWindow::dropTarget() const {
    return dropTarget_;
}

Rect logicRectToShown(Rect board, Rect shown, Rect logic) {
    if (board.width() <= 0) return logic;
    // The first shown point whose logic point is at least v: the inverse of
    // boardPointToLogic's floor, edge by edge.
    const auto x = [&](int v) {
        return shown.left +
               static_cast<int>(std::ceil(double(v - board.left) * shown.width() / board.width()));
    };
    const auto y = [&](int v) {
        return shown.top +
               static_cast<int>(std::ceil(double(v - board.top) * shown.height() / board.height()));
    };
    return Rect{x(logic.left), y(logic.top), x(logic.right), y(logic.bottom)};
}

Rect BoardWindow::windowRectInDialog() const {
    return Rect{shown_.left - margin_, shown_.top - margin_, shown_.right + margin_,
                shown_.bottom + margin_};
}

void BoardWindow::place(Rect logicBoard, Rect shown) {
    logic_ = logicBoard;
    shown_ = shown;
    placed_ = true;
    margin_ = MulDiv(4, static_cast<int>(dpiOf(dialog_)), USER_DEFAULT_SCREEN_DPI);
    const Rect w = windowRectInDialog();
    SetWindowPos(hwnd_, nullptr, w.left, w.top, w.width(), w.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardWindow::showSurface(Rect board, const Surface& surface) {
    surface_ = surface;
    if (!placed_) {
        place(board, board);
        placed_ = false;  // shown at the logic's own place until the dialog lays it out
    }
    // Asked from inside a paint, the surface is painted right after; asking again
    // would paint for ever.
    if (!painting_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardWindow::setTiles(const BoardTiles& tiles) {
    tiles_ = tiles;
    haveTiles_ = true;
}

void BoardWindow::setMarks(const BoardMarks& marks) {
    if (marks == marks_) return;
    marks_ = marks;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardWindow::setNote(std::string_view utf8) {
    std::wstring note = widen(utf8);
    if (note == note_) return;
    note_ = std::move(note);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardWindow::setDescription(std::string_view utf8) {
    // Assistive tools read a custom window's text as its name.
    SetWindowTextW(hwnd_, widen(utf8).c_str());
}

void BoardWindow::confine(Rect logicScreen) {
    POINT origin{0, 0};
    ClientToScreen(dialog_, &origin);
    const Rect logicClient{logicScreen.left - origin.x, logicScreen.top - origin.y,
                           logicScreen.right - origin.x, logicScreen.bottom - origin.y};
    const Rect shown = logicRectToShown(logic_, shown_, logicClient);
    const RECT clip{shown.left + origin.x, shown.top + origin.y, shown.right + origin.x,
                    shown.bottom + origin.y};
    ClipCursor(&clip);
    confined_ = true;
}

void BoardWindow::release() {
    if (!confined_) return;
    confined_ = false;
    ClipCursor(nullptr);
}

Point BoardWindow::toLogic(int x, int y) const {
    const Rect w = windowRectInDialog();
    return boardPointToLogic(logic_, shown_, Point{x + w.left, y + w.top});
}

bool BoardWindow::onShownBoard(POINT screen) const {
    if (!hwnd_) return false;
    POINT p = screen;
    ScreenToClient(dialog_, &p);
    return p.x >= shown_.left && p.x < shown_.right && p.y >= shown_.top && p.y < shown_.bottom;
}

void BoardWindow::dropText(std::string_view utf8) {
    handler_.onDropText(utf8);
}

void BoardWindow::paint(HDC dc) const {
    const Rect w = windowRectInDialog();
    Canvas canvas(w.width(), w.height());
    // The margin round the board is the dialog's background.
    RECT all{0, 0, w.width(), w.height()};
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(dialog_, WM_CTLCOLORDLG,
                                                       reinterpret_cast<WPARAM>(canvas.dc()),
                                                       reinterpret_cast<LPARAM>(dialog_)));
    FillRect(canvas.dc(), &all, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    BoardPicture picture;
    picture.surface = &surface_;
    picture.shown = Rect{margin_, margin_, margin_ + shown_.width(), margin_ + shown_.height()};
    picture.tiles = haveTiles_ ? &tiles_ : nullptr;
    picture.marks = marks_;
    picture.note = note_;
    picture.blank = fromColorRef(GetSysColor(COLOR_BTNFACE));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));
    if (!font || GetObjectW(font, sizeof picture.font, &picture.font) == 0)
        picture.font = messageFont(dpiOf(dialog_));
    paintBoard(canvas, picture, artwork_->artwork);
    if (GetFocus() == hwnd_) {
        const int width = std::max(1, margin_ / 4);
        paintFocusMarks(canvas, picture.shown, margin_ - width, width,
                        fromColorRef(GetSysColor(COLOR_WINDOWTEXT)));
    }
    BitBlt(dc, 0, 0, w.width(), w.height(), canvas.dc(), 0, 0, SRCCOPY);
}

Surface BoardWindow::render() const {
    const Rect w = windowRectInDialog();
    Canvas canvas(w.width(), w.height());
    paint(canvas.dc());
    return canvas.crop(Rect{margin_, margin_, margin_ + shown_.width(), margin_ + shown_.height()});
}

LRESULT CALLBACK BoardWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<BoardWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<BoardWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT BoardWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            painting_ = true;
            handler_.onPaint();
            painting_ = false;
            paint(dc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd_, nullptr, FALSE);  // the focus marks
            return 0;
        case WM_MOUSEMOVE:
            handler_.onMouse(MouseEvent::move, toLogic(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (GetFocus() != hwnd_) SetFocus(hwnd_);
            // Moves and the release still arrive while the pointer is off the board.
            SetCapture(hwnd_);
            handler_.onMouse(MouseEvent::leftDown,
                             toLogic(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd_) ReleaseCapture();
            handler_.onMouse(MouseEvent::leftUp,
                             toLogic(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_CONTEXTMENU: {
            // The Menu key (no point) goes on to the dialog, which routes it.
            if (lParam == -1) break;
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (!onShownBoard(p)) return 0;
            ScreenToClient(hwnd_, &p);
            handler_.onContextMenu(toLogic(p.x, p.y));
            return 0;
        }
        case WM_DESTROY:
            release();
            if (dropTarget_) {
                RevokeDragDrop(hwnd_);
                dropTarget_->detach();
                dropTarget_->Release();
                dropTarget_ = nullptr;
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace fifteen::ui::win32
