#pragma once

// The board's context menu as a Win32 popup menu: separators between groups,
// check marks, and each shortcut after a tab, right-aligned by the menu.

#include <windows.h>

#include <vector>

#include "ui/platform.h"

namespace fifteen::ui::win32 {

// The menu of items; entry k has command k + 1 (the caller destroys it).
HMENU buildMenu(const std::vector<MenuItem>& items);
// Shows the menu at screen and waits until the user chose an entry or closed it;
// returns the chosen entry's action, or -1.
int showMenu(HWND owner, const std::vector<MenuItem>& items, POINT screen);

}  // namespace fifteen::ui::win32
