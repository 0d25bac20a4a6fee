#pragma once

// The output box: a read-only multi-line RichEdit control. The dialog logic names
// places in its text by byte offsets into the UTF-8 text it set, "\r\n" counting
// two; the control counts UTF-16 units and keeps one "\r" per line end.

#include <windows.h>

#include <string>
#include <string_view>

namespace fifteen::ui::win32 {

// The control's character position of byteOffset into text (clamped to it).
LONG richEditPosition(std::string_view text, int byteOffset);

class OutputBox {
  public:
    // The RichEdit control of the dialog; its background the dialog's own.
    void attach(HWND box);
    HWND hwnd() const { return box_; }

    void setText(std::string_view utf8);
    const std::string& text() const { return text_; }
    // [0, end) dimmed; 0: nothing.
    void setStale(int end);
    // [begin, end) highlighted and scrolled into view; begin == end: none.
    void setMark(int begin, int end);
    // The text's margins inside the border, at the window's resolution.
    void setMargins(UINT dpi);
    // The formats drawn again after a change of font or colours.
    void refresh() { applyFormats(false); }

  private:
    // Applies the dim and the mark without moving the selection; scrolls the mark
    // into view when asked.
    void applyFormats(bool scrollToMark);
    void scrollIntoView(LONG begin, LONG end);

    HWND box_ = nullptr;
    std::string text_;
    int staleEnd_ = 0;
    int markBegin_ = 0;
    int markEnd_ = 0;
};

}  // namespace fifteen::ui::win32
