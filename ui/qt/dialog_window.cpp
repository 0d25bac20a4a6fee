#include "ui/qt/dialog_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>

#include <algorithm>

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

void DialogWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (layOut_) layOut_();
}

bool DialogWindow::focusNextPrevChild(bool next) {
    if (tabOrder_.empty()) return QDialog::focusNextPrevChild(next);
    const auto count = static_cast<std::ptrdiff_t>(tabOrder_.size());
    const auto here = std::find(tabOrder_.begin(), tabOrder_.end(), QApplication::focusWidget());
    // From outside the order, Tab starts at its first entry, Shift+Tab at its last.
    std::ptrdiff_t at = here == tabOrder_.end() ? (next ? -1 : count) : here - tabOrder_.begin();
    for (std::ptrdiff_t tried = 0; tried < count; ++tried) {
        at = ((next ? at + 1 : at - 1) + count) % count;
        QWidget* w = tabOrder_[static_cast<size_t>(at)];
        if (w->isEnabled() && (w == this || w->isVisibleTo(this))) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

// A right click reaches the window only from a control, off the board: the board
// widget takes those on the board.
void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) handler_.onKey(Key::menu, false);
}

}  // namespace fifteen::ui
