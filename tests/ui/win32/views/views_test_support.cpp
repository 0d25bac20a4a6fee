#include "tests/ui/win32/views/views_test_support.h"

#include <fstream>
#include <iterator>

#include "ui/board_view.h"
#include "ui/win32/views/canvas.h"

namespace fifteen::ui::win32::testing {

namespace {

constexpr wchar_t hostClass[] = L"FifteenViewsTestHost";

uint32_t readLe(const std::vector<unsigned char>& data, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data[at + static_cast<size_t>(i)];
    return value;
}

}  // namespace

HostWindow& HostWindow::get() {
    static HostWindow* host = new HostWindow();  // lives until the process ends
    host->contextMenus = 0;
    SetForegroundWindow(host->hwnd_);
    SetActiveWindow(host->hwnd_);
    SetFocus(host->hwnd_);
    pumpMessages();
    return *host;
}

HostWindow::HostWindow() {
    const int width = 1100, height = 1000;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &HostWindow::proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = hostClass;
    RegisterClassExW(&wc);  // fails harmlessly once registered
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    RECT r{0, 0, width, height};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&r, style, FALSE, 0);
    hwnd_ = CreateWindowExW(0, hostClass, L"views test", style, 10, 10, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    UpdateWindow(hwnd_);
    pumpMessages();
}

LRESULT CALLBACK HostWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_GETFONT) return reinterpret_cast<LRESULT>(self->font_);
    if (self && message == WM_CONTEXTMENU) {
        ++self->contextMenus;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

Surface composeBoard(const Surface& art, Color blank, const std::vector<int32_t>& cells,
                     int32_t moving, int x, int y, BoardTiles& sprites) {
    Surface tiles = art;
    fillRect(tiles, Rect{0, 0, cellPixels, cellPixels}, blank);
    Surface board;
    board.resize(boardPixels, boardPixels);
    sprites = BoardTiles{};
    const auto draw = [&](int32_t tile, int at_x, int at_y) {
        sprites.sprites[static_cast<size_t>(sprites.count++)] = TileSprite{tile, at_x, at_y};
        copyBlock(board, at_x, at_y, tiles, cellPixels * (tile % 4), cellPixels * (tile / 4),
                  cellPixels, cellPixels);
    };
    for (int i = 0; i < 16; ++i) {
        draw(cells[static_cast<size_t>(i)], cellPixels * (i % 4), cellPixels * (i / 4));
    }
    if (moving != 0) draw(moving, x, y);
    return board;
}

Color buttonFace() {
    const COLORREF c = GetSysColor(COLOR_BTNFACE);
    return (static_cast<Color>(GetRValue(c)) << 16) | (static_cast<Color>(GetGValue(c)) << 8) |
           GetBValue(c);
}

Surface readBmpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    Surface out;
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return out;
    const uint32_t offset = readLe(data, 10, 4);
    const auto width = static_cast<int32_t>(readLe(data, 18, 4));
    const auto height = static_cast<int32_t>(readLe(data, 22, 4));
    const uint32_t bits = readLe(data, 28, 2);
    const uint32_t compression = readLe(data, 30, 4);
    if (bits != 24 || compression != 0 || width <= 0 || height == 0) return out;
    const bool bottomUp = height > 0;
    const int rows = bottomUp ? height : -height;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    if (data.size() < offset + stride * static_cast<size_t>(rows)) return out;
    out.resize(width, rows);
    for (int y = 0; y < rows; ++y) {
        const size_t row = offset + stride * static_cast<size_t>(bottomUp ? rows - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const size_t at = row + static_cast<size_t>(x) * 3;
            out.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) +
                       static_cast<size_t>(x)] = (static_cast<Color>(data[at + 2]) << 16) |
                                                 (static_cast<Color>(data[at + 1]) << 8) | data[at];
        }
    }
    return out;
}

std::string artworkFile(const char* name) {
    return std::string(FIFTEEN_ARTWORK_FILES_DIR) + "/" + name;
}

Surface captureClient(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages();
    RECT r;
    GetClientRect(window, &r);
    Canvas canvas(r.right, r.bottom);
    HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
    BitBlt(canvas.dc(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    return canvas.crop(Rect{0, 0, r.right, r.bottom});
}

Surface printClient(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    Canvas canvas(r.right, r.bottom);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    return canvas.crop(Rect{0, 0, r.right, r.bottom});
}

int differingPixels(const Surface& a, Rect r, const Surface& b, int bx, int by) {
    int wrong = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const int ox = bx + x - r.left, oy = by + y - r.top;
            if (ox < 0 || oy < 0 || ox >= b.width || oy >= b.height || a.at(x, y) != b.at(ox, oy))
                ++wrong;
        }
    }
    return wrong;
}

}  // namespace fifteen::ui::win32::testing
