#pragma once

// Which key presses are the board's keys (Key), and where a key pressed at a
// control goes, for every window system: each maps its own key codes to KeyCode
// and asks here.

#include <optional>

#include "ui/dialog_template.h"
#include "ui/platform.h"

namespace fifteen::ui {

// The keys the dialog cares about, in names of its own.
enum class KeyCode {
    other,
    left,
    right,
    up,
    down,
    home,
    end,
    plus,
    equal,
    minus,
    underscore,
    escape,
    f1,
    f10,
    letterC,
    letterH,
    letterT,
    letterV,
    letterY,
    letterZ,
    insert,
    enter,  // Return, or Enter on the keypad
};

struct KeyPress {
    KeyCode code = KeyCode::other;
    bool shift = false;
    bool control = false;
    bool alt = false;  // Alt, or any other modifier (the keypad's does not count)
};

// The board key a key press is, if any: the arrows, Home, End, + and - (Shift
// allowed, as + is Shift+= on many layouts), Escape, Shift+F10 for the menu, F1,
// H and T, Ctrl+C or Ctrl+Insert to copy and Ctrl+V or Shift+Insert to paste.
std::optional<Key> boardKey(const KeyPress& press);

// The board keys the output box keeps for its text cursor and its selection.
bool outputBoxKeeps(Key key);

// Where a key pressed at a control goes, before the control sees it.
enum class KeyRoute {
    control,      // the control's own
    pressButton,  // Return or Enter at a button presses it, as Space does
    board,        // to the dialog's onKey; a button never sees it, used or not
};
// at: the kind of the focused control; key: the board key the press is, if any.
KeyRoute routeKey(ControlKind at, const KeyPress& press, std::optional<Key> key);

}  // namespace fifteen::ui
