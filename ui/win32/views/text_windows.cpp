#include "ui/win32/views/text_windows.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/text.h"
#include "ui/win32/views/gdi.h"

namespace fifteen::ui::win32 {

namespace {

constexpr wchar_t textClassName[] = L"FifteenTextWindow";
constexpr int textBoxId = 100;
constexpr UINT_PTR escapeSubclass = 1;

UINT dpiOf(HWND window) {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// The window's own layout: the text box over all but a row at the bottom for
// the Close button on the right.
void layOut(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const UINT dpi = dpiOf(window);
    const int gap = scaled(8, dpi), buttonWidth = scaled(88, dpi), buttonHeight = scaled(26, dpi);
    const int buttonTop = client.bottom - gap - buttonHeight;
    MoveWindow(GetDlgItem(window, textBoxId), 0, 0, client.right, std::max(buttonTop - gap, 0),
               TRUE);
    MoveWindow(GetDlgItem(window, IDCANCEL), client.right - gap - buttonWidth, buttonTop,
               buttonWidth, buttonHeight, TRUE);
}

// Esc in the text box or on the button closes the window; Tab moves between them
// (the dialog's message loop does not serve these windows).
LRESULT CALLBACK keysProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageW(GetParent(hwnd), WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_TAB) {
        const HWND parent = GetParent(hwnd);
        const HWND box = GetDlgItem(parent, textBoxId);
        SetFocus(hwnd == box ? GetDlgItem(parent, IDCANCEL) : box);
        return 0;
    }
    if (message == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_TAB)) return 0;
    if (message == WM_GETDLGCODE) {
        return DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTTAB;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &keysProc, escapeSubclass);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK textWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            layOut(hwnd);
            return 0;
        case WM_CLOSE:
            // Kept, hidden, to be shown again with its title.
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                ShowWindow(hwnd, SW_HIDE);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
            // Read-only text on the page colour, not greyed.
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(hwnd, textBoxId)) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        case WM_SETFOCUS:
            SetFocus(GetDlgItem(hwnd, textBoxId));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerTextClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), textClassName, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &textWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(103));
    wc.lpszClassName = textClassName;
    RegisterClassExW(&wc);
}

// Line ends as the text box wants them: "\r\n".
std::wstring withCrLf(std::string_view utf8) {
    const std::wstring text = widen(utf8);
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
        out += text[i];
    }
    return out;
}

}  // namespace

TextWindows::TextWindows(HWND owner) : owner_(owner) {
    registerTextClass();
    const UINT dpi = dpiOf(owner);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(10, static_cast<int>(dpi), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcscpy_s(font.lfFaceName, L"Consolas");
    font_ = CreateFontIndirectW(&font);
}

TextWindows::~TextWindows() {
    for (const auto& [title, window] : windows_) {
        if (IsWindow(window)) DestroyWindow(window);
    }
    if (font_) DeleteObject(font_);
}

HWND TextWindows::textBox(HWND window) {
    return GetDlgItem(window, textBoxId);
}

HWND TextWindows::window(std::string_view title) const {
    const auto found = windows_.find(widen(title));
    return found != windows_.end() && IsWindow(found->second) ? found->second : nullptr;
}

HWND TextWindows::create(const std::wstring& title) {
    const HWND window =
        CreateWindowExW(WS_EX_DLGMODALFRAME, textClassName, title.c_str(),
                        WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                        300, owner_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) return nullptr;
    const HWND box = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
            ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
        0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(textBoxId)),
        GetModuleHandleW(nullptr), nullptr);
    const HWND close = CreateWindowExW(
        0, L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), GetModuleHandleW(nullptr),
        nullptr);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(owner_, WM_GETFONT, 0, 0));
    SendMessageW(
        close, WM_SETFONT,
        reinterpret_cast<WPARAM>(dialogFont ? dialogFont : GetStockObject(DEFAULT_GUI_FONT)),
        FALSE);
    SetWindowSubclass(box, &keysProc, escapeSubclass, 0);
    SetWindowSubclass(close, &keysProc, escapeSubclass, 0);
    // First shown beside the dialog, to its right where the screen has room.
    RECT ownerRect{};
    if (owner_ && GetWindowRect(owner_, &ownerRect)) {
        SetWindowPos(window, nullptr, ownerRect.right + scaled(8, dpiOf(owner_)), ownerRect.top, 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

void TextWindows::fitToText(HWND window, const std::wstring& text) const {
    // Wide and tall enough for the text, as far as the screen allows.
    size_t columns = 0, lines = 1, start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L'\n') {
            size_t length = i - start;
            if (length > 0 && text[start + length - 1] == L'\r') --length;
            columns = std::max(columns, length);
            start = i + 1;
            if (i < text.size()) ++lines;
        }
    }
    const UINT dpi = dpiOf(window);
    TEXTMETRICW metrics{};
    {
        const HDC dc = GetDC(window);
        const Selection selected(dc, font_);
        GetTextMetricsW(dc, &metrics);
        ReleaseDC(window, dc);
    }
    const int scroll = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
    const int clientWidth =
        metrics.tmAveCharWidth * static_cast<int>(columns + 2) + scroll + scaled(16, dpi);
    const int clientHeight = metrics.tmHeight * static_cast<int>(std::min<size_t>(lines + 1, 40)) +
                             scroll + scaled(16 + 42, dpi);
    RECT outer{0, 0, clientWidth, clientHeight};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    AdjustWindowRectExForDpi(&outer, style, FALSE, exStyle, dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_ ? owner_ : window, MONITOR_DEFAULTTONEAREST),
                    &monitor);
    const RECT work = monitor.rcWork;
    const int width = std::min<int>(outer.right - outer.left, work.right - work.left);
    const int height = std::min<int>(outer.bottom - outer.top, work.bottom - work.top);
    RECT now;
    GetWindowRect(window, &now);
    const int left = std::clamp<int>(now.left, work.left, work.right - width);
    const int top = std::clamp<int>(now.top, work.top, work.bottom - height);
    SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TextWindows::show(std::string_view title, std::string_view text) {
    const std::wstring wideTitle = widen(title);
    HWND window = this->window(title);
    if (!window) {
        window = create(wideTitle);
        if (!window) return;
        windows_[wideTitle] = window;
    }
    const std::wstring content = withCrLf(text);
    SetWindowTextW(textBox(window), content.c_str());
    fitToText(window, content);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(textBox(window));
}

}  // namespace fifteen::ui::win32
