#pragma once

// Small windows of plain text beside the dialog, for Help and About: monospace,
// read-only, selectable, closed with their button or Esc. They do not block the
// dialog; one per title, shown again with its text replaced.

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace fifteen::ui::win32 {

class TextWindows {  // Platform::showTextWindow
  public:
    // Top-level windows owned by owner (the dialog).
    explicit TextWindows(HWND owner);
    ~TextWindows();
    TextWindows(const TextWindows&) = delete;
    TextWindows& operator=(const TextWindows&) = delete;
    void show(std::string_view title, std::string_view text);
    HWND window(std::string_view title) const;  // tests; nullptr when none
    // The read-only text box of a window that show made.
    static HWND textBox(HWND window);

  private:
    HWND create(const std::wstring& title);
    void fitToText(HWND window, const std::wstring& text) const;

    HWND owner_;
    std::map<std::wstring, HWND> windows_;
    HFONT font_ = nullptr;
};

}  // namespace fifteen::ui::win32
