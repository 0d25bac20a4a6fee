#pragma once

// The widgets of the dialog template's rows, and their texts whatever kind of
// control shows them.

#include <QString>

#include "ui/qt/dialog_fonts.h"

class QWidget;

namespace fifteen::ui {

// The widget for a row of the template, a child of parent, not yet placed.
QWidget* createControl(const ControlTemplate& row, QWidget* parent);

// The text a control shows: a button's or static text's, a group box's title, or
// the output box's contents with "\r\n" line ends, as the dialog logic writes them.
void setControlText(QWidget* control, QString text);
QString controlText(const QWidget* control);

}  // namespace fifteen::ui
