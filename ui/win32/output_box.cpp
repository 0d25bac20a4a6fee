#include "ui/win32/output_box.h"

#include <richedit.h>

#include <algorithm>

#include "ui/win32/text.h"

namespace fifteen::ui::win32 {

LONG richEditPosition(std::string_view text, int byteOffset) {
    const size_t end = std::min(text.size(), static_cast<size_t>(std::max(byteOffset, 0)));
    LONG position = 0;
    for (size_t i = 0; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;                         // inside a character
        if (byte == '\n' && i > 0 && text[i - 1] == '\r') continue;  // one line end
        position += (byte & 0xF8) == 0xF0 ? 2 : 1;                   // a surrogate pair
    }
    return position;
}

namespace {

COLORREF sys(int index) {
    return GetSysColor(index);
}

void select(HWND box, LONG begin, LONG end) {
    CHARRANGE range{begin, end};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void format(HWND box, CHARFORMAT2W& cf) {
    cf.cbSize = sizeof cf;
    SendMessageW(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

}  // namespace

void OutputBox::attach(HWND box) {
    box_ = box;
    SendMessageW(box_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(sys(COLOR_BTNFACE)));
    // Plain text: what the dialog logic writes, no pasted formats.
    SendMessageW(box_, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
    SendMessageW(box_, EM_SETEVENTMASK, 0, 0);
}

void OutputBox::setMargins(UINT dpi) {
    const int margin = MulDiv(2, static_cast<int>(dpi), 96);
    SendMessageW(box_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

void OutputBox::setText(std::string_view utf8) {
    text_.assign(utf8);
    SendMessageW(box_, WM_SETREDRAW, FALSE, 0);
    SetWindowTextW(box_, widen(utf8).c_str());
    SendMessageW(box_, WM_SETREDRAW, TRUE, 0);
    // New text, new document: the marks are drawn again where they stand.
    applyFormats(markBegin_ != markEnd_);
}

void OutputBox::setStale(int end) {
    staleEnd_ = end;
    applyFormats(false);
}

void OutputBox::setMark(int begin, int end) {
    markBegin_ = begin;
    markEnd_ = end;
    applyFormats(begin != end);
}

void OutputBox::applyFormats(bool scrollToMark) {
    if (!box_) return;
    CHARRANGE kept{};
    SendMessageW(box_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    const auto firstLine = static_cast<LONG>(SendMessageW(box_, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(box_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box_, EM_HIDESELECTION, TRUE, 0);

    select(box_, 0, -1);
    CHARFORMAT2W plain{};
    plain.dwMask = CFM_COLOR | CFM_BACKCOLOR | CFM_BOLD;
    plain.dwEffects = CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR;
    format(box_, plain);
    if (staleEnd_ > 0) {
        select(box_, 0, richEditPosition(text_, staleEnd_));
        CHARFORMAT2W dim{};
        dim.dwMask = CFM_COLOR;
        dim.crTextColor = sys(COLOR_GRAYTEXT);
        format(box_, dim);
    }
    const LONG begin = richEditPosition(text_, markBegin_);
    const LONG end = richEditPosition(text_, markEnd_);
    if (begin < end) {
        select(box_, begin, end);
        CHARFORMAT2W mark{};
        mark.dwMask = CFM_COLOR | CFM_BACKCOLOR | CFM_BOLD;
        mark.dwEffects = CFE_BOLD;
        mark.crTextColor = sys(COLOR_HIGHLIGHTTEXT);
        mark.crBackColor = sys(COLOR_HIGHLIGHT);
        format(box_, mark);
    }

    // The user's selection and the scroll position as they were.
    select(box_, kept.cpMin, kept.cpMax);
    const auto nowFirst = static_cast<LONG>(SendMessageW(box_, EM_GETFIRSTVISIBLELINE, 0, 0));
    if (nowFirst != firstLine) SendMessageW(box_, EM_LINESCROLL, 0, firstLine - nowFirst);
    SendMessageW(box_, EM_HIDESELECTION, FALSE, 0);
    if (scrollToMark && begin < end) scrollIntoView(begin, end);
    SendMessageW(box_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box_, nullptr, TRUE);
}

void OutputBox::scrollIntoView(LONG begin, LONG end) {
    RECT shown{};
    SendMessageW(box_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    const auto lineOf = [&](LONG position) {
        return static_cast<LONG>(SendMessageW(box_, EM_EXLINEFROMCHAR, 0, position));
    };
    const LONG first = lineOf(begin), last = lineOf(std::max(begin, end - 1));
    const auto top = static_cast<LONG>(SendMessageW(box_, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The lines in view: from the top line's character down to the bottom edge.
    POINTL at{};
    const auto topChar =
        static_cast<LONG>(SendMessageW(box_, EM_LINEINDEX, static_cast<WPARAM>(top), 0));
    const auto nextChar =
        static_cast<LONG>(SendMessageW(box_, EM_LINEINDEX, static_cast<WPARAM>(top + 1), 0));
    SendMessageW(box_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), topChar);
    POINTL below = at;
    if (nextChar > topChar)
        SendMessageW(box_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&below), nextChar);
    const LONG lineHeight = std::max<LONG>(1, below.y - at.y);
    const LONG inView = std::max<LONG>(1, (shown.bottom - shown.top) / lineHeight);
    LONG scroll = 0;
    if (last >= top + inView) scroll = last - (top + inView) + 1;
    if (first < top + scroll) scroll = first - top;
    if (scroll != 0) SendMessageW(box_, EM_LINESCROLL, 0, scroll);
}

}  // namespace fifteen::ui::win32
