#pragma once

// What explains the dialog's controls to a user and to assistive tools: tooltips
// naming each control's Alt+letter (the letters themselves are routed in the
// message loop), and the names and descriptions assistive tools read out (texts
// in ui/help_text.h).
//
// The buttons' texts stay exactly as they are ("Shuffle", not "&Shuffle"): a
// button's text is part of what the dialog shows and reads back.

#include <windows.h>

#include <map>
#include <string>

namespace fifteen::ui::win32 {

// Over the dialog's controls by identifier; board is the board window. Returns the
// tooltip window.
HWND addControlHelp(HWND dialog, const std::map<int, HWND>& controls, HWND board);

}  // namespace fifteen::ui::win32
