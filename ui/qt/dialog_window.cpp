#include "ui/qt/dialog_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>

#include "ui/qt/key_routing.h"

namespace fifteen::ui {

void DialogWindow::routeKeysOf(QWidget* control, const QWidget* outputBox) {
    outputBox_ = outputBox;
    control->installEventFilter(this);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    handler_.onClose();
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const std::optional<Key> key = boardKey(*event);
    if (key && handler_.onKey(*key, event->isAutoRepeat())) return;
    QDialog::keyPressEvent(event);
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        routeControlKey(watched, outputBox_, *static_cast<QKeyEvent*>(event), handler_))
        return true;
    return QDialog::eventFilter(watched, event);
}

// A right click reaches the window only from a control, off the board: the board
// widget takes those on the board.
void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) handler_.onKey(Key::menu, false);
}

}  // namespace fifteen::ui
