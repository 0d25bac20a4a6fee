#pragma once

// The Qt side of ui/key_policy.h: Qt's key events as the board's keys, and where
// a key pressed at a control goes: to the control, to the board, or to the
// focused button as a click.

#include <optional>

#include "ui/platform.h"

class QKeyEvent;
class QObject;
class QWidget;

namespace fifteen::ui {

// The board key a key press is, if any.
std::optional<Key> boardKey(const QKeyEvent& event);

// A key press at control (a button or the output box), before the control sees it:
// true when it was used here. Return and Enter press a button; a board key goes
// to the handler, except the output box's own text cursor keys and Copy, and a
// button never sees one.
bool routeControlKey(QObject* control, const QWidget* outputBox, QKeyEvent& event,
                     DialogHandler& handler);

}  // namespace fifteen::ui
