#pragma once

// A small window of plain text beside the dialog, for Help and About: monospace,
// read-only, selectable, closed with its button or Esc. It does not block the
// dialog.

#include <QString>

class QDialog;
class QWidget;

namespace fifteen::ui {

// Shows the window titled title over parent, making it the first time; text
// replaces what it showed. Returns it (owned by parent).
QDialog* showTextWindow(QWidget* parent, const QString& title, const QString& text);

}  // namespace fifteen::ui
