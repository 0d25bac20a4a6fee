#pragma once

// The Win32 side of ui/key_policy.h: key messages as the board's keys, and where
// a key pressed at a control goes (to the control, to the board, or to the
// focused button as a click), decided in the message loop before the dialog
// manager sees the key.

#include <windows.h>

#include <optional>

#include "ui/key_policy.h"
#include "ui/platform.h"

namespace fifteen::ui::win32 {

// The modifiers held: Shift, Ctrl, Alt (the thread's key state).
struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    static Modifiers held();
};

// The neutral key press a virtual key is.
KeyPress keyPressOf(WPARAM virtualKey, Modifiers modifiers);
// The board key of a key press message (WM_KEYDOWN or WM_SYSKEYDOWN), if any; the
// Menu key is one too.
std::optional<Key> boardKeyOf(WPARAM virtualKey, Modifiers modifiers);

// The button an Alt+letter presses (0: none).
int mnemonicButton(WPARAM virtualKey, Modifiers modifiers);

}  // namespace fifteen::ui::win32
