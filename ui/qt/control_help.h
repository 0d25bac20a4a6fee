#pragma once

// What explains the dialog's controls to a user and to assistive tools: the
// buttons' Alt+letter shortcuts, the tooltips naming them, accessible names and
// descriptions (texts in ui/help_text.h).
//
// The buttons' texts stay exactly as they are ("Shuffle", not "&Shuffle"): a
// button's text is part of what the dialog shows and reads back, so the Alt+letter
// shortcuts are window shortcuts of their own, shown in the tooltips and the Help
// window, with no underline in the text.

#include <map>

class QWidget;

namespace fifteen::ui {

// Over the dialog's controls by identifier; board is the board widget.
void addControlHelp(QWidget* dialog, const std::map<int, QWidget*>& controls, QWidget* board);

}  // namespace fifteen::ui
