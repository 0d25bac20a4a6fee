#include "ui/win32/win32_platform.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cwctype>

#include "ui/dialog_ids.h"
#include "ui/win32/control_help.h"
#include "ui/win32/dialog_units.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/views/board_window.h"
#include "ui/win32/views/plot_window.h"
#include "ui/win32/views/text_windows.h"

namespace fifteen::ui::win32 {

namespace {

constexpr int iconId = 103;

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return FALSE;  // build sets the focus itself
    }
    auto* platform = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return platform ? platform->handleMessage(message, wParam, lParam) : FALSE;
}

Rect toRect(const RECT& r) {
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
            static_cast<int>(r.bottom)};
}

// The dialog lays itself out at a new resolution (WM_DPICHANGED): the system's own
// scaling of dialogs and their controls' fonts stays off. Looked up, as systems
// before Windows 10 1803 have neither call.
void keepOwnDpiScaling(HWND dialog) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    using DialogCall =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    using ControlCall = BOOL(WINAPI*)(HWND, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS,
                                      DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS);
    const auto forDialog = reinterpret_cast<DialogCall>(
        reinterpret_cast<void*>(GetProcAddress(user, "SetDialogDpiChangeBehavior")));
    const auto forControl = reinterpret_cast<ControlCall>(
        reinterpret_cast<void*>(GetProcAddress(user, "SetDialogControlDpiChangeBehavior")));
    if (forDialog) forDialog(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
    if (!forControl) return;
    const auto both = static_cast<DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS>(DCDC_DISABLE_FONT_UPDATE |
                                                                       DCDC_DISABLE_RELAYOUT);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        forControl(child, both, both);
}

HICON loadIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

Win32Platform::Win32Platform() = default;

Win32Platform::~Win32Platform() {
    beginClose();
    // The handler may be gone already: what the windows still say on their way out
    // goes nowhere.
    handler_ = nullptr;
    calls_.detach();
    board_.reset();
    plot_.reset();
    texts_.reset();
    if (dialog_) DestroyWindow(dialog_);
    if (ownDialogFont_) DeleteObject(dialogFont_);
    if (outputFont_) DeleteObject(outputFont_);
    if (iconBig_) DestroyIcon(iconBig_);
    if (iconSmall_) DestroyIcon(iconSmall_);
    if (oleReady_) OleUninitialize();
}

int Win32Platform::run(DialogHandler& handler) {
    build(handler);
    show();
    MSG msg;
    while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0) dispatch(msg);
    // Nothing may wait on a dialog that no longer runs.
    beginClose();
    return result_;
}

void Win32Platform::build(DialogHandler& handler) {
    handler_ = &handler;
    // The output box's window class, and the themed common controls.
    LoadLibraryW(L"msftedit.dll");
    // Drops on the board are OLE's (a second call on the thread only counts up).
    oleReady_ = SUCCEEDED(OleInitialize(nullptr));
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogTemplateId),
                                 nullptr, dialogProcedure, reinterpret_cast<LPARAM>(this));
    if (!dialog_) {
        MessageBoxW(nullptr, L"The dialog could not be created.", L"fifteen", MB_ICONERROR);
        ExitProcess(1);
    }
    calls_.attach(dialog_);
    keepOwnDpiScaling(dialog_);
    iconBig_ = loadIcon(GetSystemMetrics(SM_CXICON));
    iconSmall_ = loadIcon(GetSystemMetrics(SM_CXSMICON));
    if (iconBig_) SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconBig_));
    if (iconSmall_)
        SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_));
    for (const ControlTemplate& t : dialogTemplate()) controls_[t.id] = GetDlgItem(dialog_, t.id);
    output_.attach(control(idOutput));

    // The board: in the tab order after the buttons and before the output box.
    board_ = std::make_unique<BoardWindow>(dialog_, handler);
    SetWindowPos(board_->hwnd(), control(idTrace), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    plot_ = std::make_unique<PlotWindow>(dialog_);
    texts_ = std::make_unique<TextWindows>(dialog_);
    // The stale report's note: a static text of the template's kind above the box.
    staleNote_ = CreateWindowExW(0, L"STATIC", L"",
                                 WS_CHILD | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0,
                                 0, 0, dialog_, nullptr, GetModuleHandleW(nullptr), nullptr);
    tooltips_ = addControlHelp(dialog_, controls_, board_->hwnd());

    dialogFont_ = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));
    useDpi(GetDpiForWindow(dialog_), dialogFont_);
    // The dialog logic places its board in the template's own layout; a window
    // restored larger then grows it from there, as one enlarged by hand does.
    handler.onInit();
    placeWindow();
    setFocus(idShuffle);
}

void Win32Platform::show() {
    ShowWindow(dialog_, SW_SHOW);
    UpdateWindow(dialog_);
}

void Win32Platform::useDpi(UINT dpi, HFONT dialogFont) {
    dpi_ = dpi == 0 ? 96 : dpi;
    if (dialogFont != dialogFont_) {
        if (ownDialogFont_) DeleteObject(dialogFont_);
        dialogFont_ = dialogFont;
        ownDialogFont_ = true;
        for (const auto& [id, hwnd] : controls_) {
            if (id != idOutput)
                SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
        }
    }
    SendMessageW(staleNote_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_), FALSE);
    const bool monospace = outputFont_ != nullptr;
    HFONT oldOutput = outputFont_;
    outputFont_ = createOutputFont(dialogFont_);
    if (monospace)
        SendMessageW(control(idOutput), WM_SETFONT, reinterpret_cast<WPARAM>(outputFont_), TRUE);
    if (oldOutput) DeleteObject(oldOutput);
    output_.setMargins(dpi_);
    units_ = fittingUnits(dialogFont_, outputFont_, dpi_);
    const Size smallest = smallestClient(units_);
    RECT client{};
    GetClientRect(dialog_, &client);
    const Size now{static_cast<int>(client.right), static_cast<int>(client.bottom)};
    if (now.width < smallest.width || now.height < smallest.height) {
        const Size window = windowSizeFor(
            Size{std::max(now.width, smallest.width), std::max(now.height, smallest.height)});
        SetWindowPos(dialog_, nullptr, 0, 0, window.width, window.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    layOut();
}

Size Win32Platform::windowSizeFor(Size client) const {
    RECT r{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&r, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)), dpi_);
    return {static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
}

void Win32Platform::layOut() {
    if (!dialog_ || !board_ || units_.x == 0) return;
    RECT client{};
    GetClientRect(dialog_, &client);
    layout_ =
        layOutDialog(units_, Size{static_cast<int>(client.right), static_cast<int>(client.bottom)});
    HDWP moves = BeginDeferWindowPos(static_cast<int>(layout_.controls.size()) + 2);
    for (const auto& [id, r] : layout_.controls) {
        if (HWND w = control(id))
            moves = DeferWindowPos(moves, w, nullptr, r.left, r.top, r.width(), r.height(),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The note over the output box, one line of the dialog font.
    HDC dc = GetDC(dialog_);
    HGDIOBJ old = SelectObject(dc, dialogFont_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(dialog_, dc);
    const Rect note = layout_.aboveOutput(static_cast<int>(tm.tmHeight));
    moves = DeferWindowPos(moves, staleNote_, nullptr, note.left, note.top, note.width(),
                           note.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(moves);
    shown_ = shownBoardAt(units_, layout_, dpi_);
    if (logicBoard_.width() == 0) {
        // Until the dialog logic has drawn its board: where it will place it.
        logicBoard_ = Rect{shown_.left, shown_.top, shown_.left + 256, shown_.top + 256};
    }
    board_->place(logicBoard_, shown_);
    if (plotShown_) {
        const Rect box = layout_.output();
        SetWindowPos(plot_->hwnd(), HWND_TOP, box.left, box.top, box.width(), box.height(),
                     SWP_NOACTIVATE);
    }
    InvalidateRect(dialog_, nullptr, TRUE);
}

INT_PTR Win32Platform::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!handler_) return FALSE;
    switch (message) {
        case callQueueMessage:
            calls_.runPending();
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            // Esc and Return reach the dialog manager as IDCANCEL and IDOK: the
            // dialog logic has its own Escape, and the template no default button.
            if (HIWORD(wParam) == BN_CLICKED && id >= idShuffle && id <= idTrace && lParam != 0) {
                handler_->onCommand(id);
                return TRUE;
            }
            return FALSE;
        }
        case WM_TIMER:
            handler_->onTimer(static_cast<int>(wParam));
            return TRUE;
        case WM_CLOSE:
            // The close box asks; the dialog logic decides and ends the dialog itself.
            handler_->onClose();
            return TRUE;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) layOut();
            return TRUE;
        case WM_GETMINMAXINFO: {
            if (units_.x == 0) return FALSE;
            const Size smallest = windowSizeFor(smallestClient(units_));
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = POINT{smallest.width, smallest.height};
            return TRUE;
        }
        case WM_DPICHANGED: {
            // The fonts and the base units at the new resolution; the window where
            // the system suggests, then laid out again.
            const UINT dpi = HIWORD(wParam);
            HFONT font = scaledFont(dialogFont_, dpi_, dpi);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            dpi_ = dpi;
            SetWindowPos(dialog_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            useDpi(dpi, font);
            output_.refresh();
            return TRUE;
        }
        case WM_CONTEXTMENU:
            // Right clicks on the board reach the board window; the Menu key is
            // routed in the message loop.
            return TRUE;
        case WM_SYSCOLORCHANGE:
            output_.attach(control(idOutput));
            output_.refresh();
            return FALSE;
        default:
            return FALSE;
    }
}

bool Win32Platform::routeKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (!handler_ || !dialog_ || (msg.hwnd != dialog_ && !IsChild(dialog_, msg.hwnd))) return false;
    const Modifiers modifiers = Modifiers::held();
    if (const int button = mnemonicButton(msg.wParam, modifiers)) {
        // A disabled button ignores its letter, as it ignores the mouse.
        HWND w = control(button);
        if (IsWindowEnabled(w) && (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE))
            SendMessageW(w, BM_CLICK, 0, 0);
        return true;
    }
    const std::optional<Key> key = boardKeyOf(msg.wParam, modifiers);
    const bool autoRepeat = (msg.lParam & (1 << 30)) != 0;
    // The focused control: a button, the output box, or else the board.
    int at = 0;
    for (const auto& [id, hwnd] : controls_) {
        if (hwnd == msg.hwnd || IsChild(hwnd, msg.hwnd)) at = id;
    }
    ControlKind kind = ControlKind::leftText;
    if (at != 0) kind = templateRow(at).kind;
    // Tab leaves the output box as it leaves every control, whatever a multi-line
    // box would rather keep.
    if (kind == ControlKind::outputBox && msg.wParam == VK_TAB && !modifiers.control &&
        !modifiers.alt) {
        SendMessageW(dialog_, WM_NEXTDLGCTL, modifiers.shift ? 1 : 0, FALSE);
        return true;
    }
    if (at == 0 || (kind != ControlKind::outputBox && !isButton(templateRow(at)))) {
        return key && handler_->onKey(*key, autoRepeat);
    }
    switch (ui::routeKey(kind, keyPressOf(msg.wParam, modifiers), key)) {
        case KeyRoute::pressButton:
            if (IsWindowEnabled(control(at))) SendMessageW(control(at), BM_CLICK, 0, 0);
            return true;
        case KeyRoute::control:
            return false;
        case KeyRoute::board:
            break;
    }
    const bool used = handler_->onKey(*key, autoRepeat);
    // A button never gets a board key, used or not: the dialog manager would move
    // the focus on with the arrow keys.
    return used || kind != ControlKind::outputBox;
}

void Win32Platform::dispatch(MSG& msg) {
    if (routeKey(msg)) return;
    // Shift+F10 is the board's menu key: its release must not also open the
    // window's system menu.
    if (msg.message == WM_SYSKEYUP && msg.wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0 &&
        (msg.hwnd == dialog_ || IsChild(dialog_, msg.hwnd)))
        return;
    // The letter of an Alt+letter already pressed its button: no beep for it.
    if (msg.message == WM_SYSCHAR &&
        mnemonicButton(static_cast<WPARAM>(std::towupper(static_cast<wint_t>(msg.wParam))),
                       Modifiers{false, false, true}) != 0)
        return;
    if (dialog_ && IsDialogMessageW(dialog_, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32Platform::pump(int ms) {
    pumpUntil([] { return false; }, ms);
}

bool Win32Platform::pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            dispatch(msg);
            if (done()) return true;
        }
        if (done()) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              until - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<long long>(left, 10)), QS_ALLINPUT);
    }
}

void Win32Platform::placeWindow() {
    RECT frame{};
    GetWindowRect(dialog_, &frame);
    HMONITOR monitor = MonitorFromWindow(dialog_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT work = info.rcWork;
    if (settings_) {
        RECT client{};
        GetClientRect(dialog_, &client);
        const Size smallest = smallestClient(units_);
        const Size kept{settings_->intValue(settingKeys::windowWidth, 0, 0, 100000),
                        settings_->intValue(settingKeys::windowHeight, 0, 0, 100000)};
        const Size room{static_cast<int>(work.right - work.left),
                        static_cast<int>(work.bottom - work.top)};
        const Size size = windowSizeFor(keptWindowSize(kept, room, smallest));
        SetWindowPos(dialog_, nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(dialog_, &frame);
    }
    const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    POINT place{work.left + (work.right - work.left - width) / 2,
                work.top + (work.bottom - work.top - height) / 2};
    if (settings_) {
        const POINT kept{settings_->intValue(settingKeys::windowX, place.x, -100000, 100000),
                         settings_->intValue(settingKeys::windowY, place.y, -100000, 100000)};
        const Point probe = titleBarPoint(Point{static_cast<int>(kept.x), static_cast<int>(kept.y)},
                                          static_cast<int>(width));
        HMONITOR there = MonitorFromPoint(POINT{probe.x, probe.y}, MONITOR_DEFAULTTONULL);
        MONITORINFO thereInfo{};
        thereInfo.cbSize = sizeof thereInfo;
        if (there && GetMonitorInfoW(there, &thereInfo) && PtInRect(&thereInfo.rcWork, kept))
            place = kept;
    }
    SetWindowPos(dialog_, nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::saveWindowPlace() const {
    if (!settings_ || !dialog_ || IsIconic(dialog_) || IsZoomed(dialog_)) return;
    RECT frame{}, client{};
    GetWindowRect(dialog_, &frame);
    GetClientRect(dialog_, &client);
    settings_->setInt(settingKeys::windowX, static_cast<int>(frame.left));
    settings_->setInt(settingKeys::windowY, static_cast<int>(frame.top));
    settings_->setInt(settingKeys::windowWidth, static_cast<int>(client.right));
    settings_->setInt(settingKeys::windowHeight, static_cast<int>(client.bottom));
}

HWND Win32Platform::control(int controlId) const {
    const auto it = controls_.find(controlId);
    return it == controls_.end() ? nullptr : it->second;
}

HWND Win32Platform::boardWindow() const {
    return board_ ? board_->hwnd() : nullptr;
}

HWND Win32Platform::plotWindow() const {
    return plot_ ? plot_->hwnd() : nullptr;
}

HWND Win32Platform::textWindow(std::string_view title) const {
    return texts_ ? texts_->window(title) : nullptr;
}

void Win32Platform::setTimer(int timerId, int periodMs) {
    onGuiThread([&] {
        SetTimer(dialog_, static_cast<UINT_PTR>(timerId), static_cast<UINT>(std::max(periodMs, 0)),
                 nullptr);
    });
}

void Win32Platform::killTimer(int timerId) {
    onGuiThread([&] { KillTimer(dialog_, static_cast<UINT_PTR>(timerId)); });
}

bool Win32Platform::sendMessage(int message) {
    if (calls_.closing()) return false;
    return onGuiThread([&] { handler_->onMessage(message); });
}

void Win32Platform::post(std::function<void()> call) {
    calls_.post(std::move(call));
}

void Win32Platform::beginClose() {
    calls_.beginClose();
}

Rect Win32Platform::windowRect() const {
    RECT r{};
    onGuiThread([&] { GetWindowRect(dialog_, &r); });
    return toRect(r);
}

Rect Win32Platform::clientRect() const {
    RECT r{};
    onGuiThread([&] { GetClientRect(dialog_, &r); });
    return toRect(r);
}

Rect Win32Platform::controlRect(int controlId) const {
    RECT r{};
    onGuiThread([&] {
        if (HWND w = control(controlId)) GetWindowRect(w, &r);
    });
    return toRect(r);
}

Point Win32Platform::clientToScreen(Point client) const {
    POINT p{client.x, client.y};
    onGuiThread([&] { ClientToScreen(dialog_, &p); });
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

void Win32Platform::confineCursor(Rect screen) {
    onGuiThread([&] { board_->confine(screen); });
}

void Win32Platform::releaseCursor() {
    onGuiThread([&] { board_->release(); });
}

bool Win32Platform::loadTileArtwork(Surface& tiles) {
    return win32::loadTileArtwork(tiles);
}

Color Win32Platform::buttonFaceColor() const {
    const COLORREF c = GetSysColor(COLOR_BTNFACE);
    return (static_cast<Color>(GetRValue(c)) << 16) | (static_cast<Color>(GetGValue(c)) << 8) |
           GetBValue(c);
}

void Win32Platform::invalidateBoard(Rect board, const Surface& surface) {
    onGuiThread([&] {
        if (board.left != logicBoard_.left || board.top != logicBoard_.top ||
            board.width() != logicBoard_.width()) {
            logicBoard_ = board;
            board_->place(logicBoard_, shown_);
        }
        board_->showSurface(board, surface);
    });
}

void Win32Platform::setBoardTiles(const BoardTiles& tiles) {
    onGuiThread([&] { board_->setTiles(tiles); });
}

void Win32Platform::setBoardMarks(const BoardMarks& marks) {
    onGuiThread([&] { board_->setMarks(marks); });
}

void Win32Platform::setBoardNote(std::string_view text) {
    onGuiThread([&] { board_->setNote(text); });
}

void Win32Platform::endDialog(int result) {
    onGuiThread([&] {
        saveWindowPlace();
        result_ = result;
        ended_ = true;
        ShowWindow(dialog_, SW_HIDE);
        // Wakes a message loop waiting in GetMessage.
        PostMessageW(dialog_, WM_NULL, 0, 0);
    });
}

}  // namespace fifteen::ui::win32
