#include "ui/win32/context_menu.h"

#include <string>

#include "ui/win32/text.h"

namespace fifteen::ui::win32 {

HMENU buildMenu(const std::vector<MenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    UINT_PTR command = 0;
    for (const MenuItem& item : items) {
        ++command;
        if (item.separatorBefore && GetMenuItemCount(menu) > 0)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        // A literal '&' in a text is no mnemonic.
        std::wstring text;
        for (const wchar_t c : widen(item.text)) {
            if (c == L'&') text += L'&';
            text += c;
        }
        if (!item.shortcut.empty()) text += L'\t' + widen(item.shortcut);
        UINT flags = MF_STRING;
        if (!item.enabled) flags |= MF_GRAYED;
        if (item.checkable && item.checked) flags |= MF_CHECKED;
        AppendMenuW(menu, flags, command, text.c_str());
    }
    return menu;
}

int showMenu(HWND owner, const std::vector<MenuItem>& items, POINT screen) {
    HMENU menu = buildMenu(items);
    // The owner must be in front for the menu to close when clicked away from.
    SetForegroundWindow(owner);
    const auto command = static_cast<size_t>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN,
        static_cast<int>(screen.x), static_cast<int>(screen.y), 0, owner, nullptr));
    DestroyMenu(menu);
    if (command == 0 || command > items.size()) return -1;
    return items[command - 1].action;
}

}  // namespace fifteen::ui::win32
