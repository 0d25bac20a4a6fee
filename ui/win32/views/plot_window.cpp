#include "ui/win32/views/plot_window.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ui/win32/text.h"
#include "ui/win32/views/board_paint.h"
#include "ui/win32/views/canvas.h"
#include "ui/win32/views/gdi.h"

namespace fifteen::ui::win32 {

namespace {

constexpr wchar_t plotClassName[] = L"FifteenReviewPlot";
constexpr Color distanceColor = 0x1F5FC0;
constexpr Color lostColor = 0xC83C28;

void registerPlotClass(WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), plotClassName, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = plotClassName;
    RegisterClassExW(&wc);
}

COLORREF system(int index) {
    return GetSysColor(index);
}

// A pen owned for the scope it is selected in.
class Pen {
  public:
    Pen(HDC dc, COLORREF color, int width, DWORD style = PS_SOLID) {
        LOGBRUSH brush{BS_SOLID, color, 0};
        pen_.reset(ExtCreatePen(PS_GEOMETRIC | style | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                static_cast<DWORD>(std::max(width, 1)), &brush, 0, nullptr));
        old_ = SelectObject(dc, pen_.get());
        dc_ = dc;
    }
    ~Pen() { SelectObject(dc_, old_); }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

  private:
    GdiObject<HPEN> pen_;
    HGDIOBJ old_;
    HDC dc_;
};

}  // namespace

PlotWindow::PlotWindow(HWND dialog) : dialog_(dialog) {
    registerPlotClass(&PlotWindow::windowProc);
    hwnd_ = CreateWindowExW(0, plotClassName, L"Plot of the checked moves", WS_CHILD, 0, 0, 0, 0,
                            dialog, nullptr, GetModuleHandleW(nullptr), this);
}

PlotWindow::~PlotWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void PlotWindow::show(const ReviewPlot* plot, Rect where) {
    if (!plot) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    plot_ = *plot;
    SetWindowPos(hwnd_, HWND_TOP, where.left, where.top, where.width(), where.height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CALLBACK PlotWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PlotWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // painted whole, from one buffer
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            self->paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            self->paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void PlotWindow::paint(HDC target) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = client.right, height = client.bottom;
    Canvas canvas(width, height);
    HDC dc = canvas.dc();
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const UINT dpi = std::max<UINT>(GetDpiForWindow(hwnd_), 1);
    const auto scaled = [dpi](double pixels) {
        return static_cast<int>(std::lround(pixels * dpi / USER_DEFAULT_SCREEN_DPI));
    };
    LOGFONTW logFont{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));
    if (!dialogFont || GetObjectW(dialogFont, sizeof logFont, &logFont) == 0)
        logFont = messageFont(dpi);
    const GdiObject<HFONT> font(CreateFontIndirectW(&logFont));
    logFont.lfWeight = FW_BOLD;
    const GdiObject<HFONT> bold(CreateFontIndirectW(&logFont));
    const Selection selectedFont(dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight;
    const int pad = std::max(4, line / 3);
    SetBkMode(dc, TRANSPARENT);
    {
        const Pen frame(dc, system(COLOR_BTNSHADOW), 1);
        const Selection hollow(dc, GetStockObject(HOLLOW_BRUSH));
        Rectangle(dc, 0, 0, width, height);
    }

    // The summary, wrapped, and below it how far from the goal the moves ended.
    RECT text{pad, pad, width - pad, height - pad};
    const std::wstring summary = widen(plot_.summary);
    RECT used = text;
    DrawTextW(dc, summary.c_str(), static_cast<int>(summary.size()), &used,
              DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    SetTextColor(dc, system(COLOR_WINDOWTEXT));
    DrawTextW(dc, summary.c_str(), static_cast<int>(summary.size()), &text,
              DT_WORDBREAK | DT_NOPREFIX);
    int top = (summary.empty() ? text.top : used.bottom) + pad;
    if (!plot_.endNote.empty()) {
        const Selection selectedBold(dc, bold.get());
        SetTextColor(dc, toColorRef(lostColor));
        const std::wstring note = widen(plot_.endNote);
        RECT noteRect{text.left, top, text.right, top + line};
        DrawTextW(dc, note.c_str(), static_cast<int>(note.size()), &noteRect,
                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        top += line + pad;
    }

    const int moves = std::max({plot_.count(), plot_.startLength, 1});
    const int highest = std::max(plot_.top, 1);
    const auto advance = [dc](const std::wstring& s) {
        SIZE size{};
        GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    const int labelWidth = advance(std::to_wstring(highest)) + pad;
    const double areaLeft = text.left + labelWidth;
    const double areaTop = top + line / 2.0;
    const double areaWidth =
        (text.right - text.left) - labelWidth - advance(std::to_wstring(moves)) / 2.0;
    const double areaHeight = text.bottom - top - line * 1.5 - pad;
    if (areaWidth < 20 || areaHeight < 20) {
        BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        return;
    }
    const double areaBottom = areaTop + areaHeight;
    const auto at = [&](double move, double distance) {
        return POINT{static_cast<LONG>(std::lround(areaLeft + areaWidth * move / moves)),
                     static_cast<LONG>(std::lround(areaBottom - areaHeight * distance / highest))};
    };
    const auto segment = [dc](POINT a, POINT b) {
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
    };

    // Axes and their ends' numbers.
    SetTextColor(dc, system(COLOR_WINDOWTEXT));
    {
        const Pen axis(dc, system(COLOR_WINDOWTEXT), 1);
        segment(at(0, 0), at(0, highest));
        segment(at(0, 0), at(moves, 0));
    }
    const auto label = [&](POINT anchor, const std::wstring& s, bool rightOfAnchor) {
        RECT cell;
        UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
        if (rightOfAnchor) {  // right-aligned before the anchor, centred on it
            cell = RECT{anchor.x - 200, anchor.y - 100, anchor.x - pad / 2, anchor.y + 100};
            format |= DT_RIGHT | DT_VCENTER;
        } else {  // centred below the anchor
            cell = RECT{anchor.x - 100, anchor.y + 1, anchor.x + 100, anchor.y + 200};
            format |= DT_CENTER | DT_TOP;
        }
        DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &cell, format);
    };
    label(at(0, 0), L"0", true);
    label(at(0, highest), std::to_wstring(highest), true);
    label(at(moves, 0), std::to_wstring(moves), false);
    label(at(moves / 2.0, 0), L"moves", false);

    // The ideal line: one nearer a move, from the start's length to the goal.
    {
        const Pen ideal(dc, system(COLOR_BTNSHADOW), scaled(1.5), PS_DASH);
        segment(at(0, plot_.startLength), at(plot_.startLength, 0));
    }
    std::vector<POINT> path;
    for (int32_t m = 0; m <= plot_.count(); ++m) path.push_back(at(m, plot_.distanceAt(m)));
    {
        const Pen distance(dc, toColorRef(distanceColor), scaled(2));
        Polyline(dc, path.data(), static_cast<int>(path.size()));
    }
    const int radius = std::max(scaled(3), line / 4);
    {
        const Pen outline(dc, toColorRef(lostColor), scaled(1.5));
        const GdiObject<HBRUSH> fill(CreateSolidBrush(toColorRef(lostColor)));
        const Selection filled(dc, fill.get());
        for (const int32_t m : plot_.lost) {
            if (m < 1 || m > plot_.count()) continue;
            const POINT p = at(m, plot_.distanceAt(m));
            Ellipse(dc, p.x - radius, p.y - radius, p.x + radius + 1, p.y + radius + 1);
        }
    }
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

}  // namespace fifteen::ui::win32
