#pragma once

// The dialog's window: hands the dialog logic what it asks of the window itself
// (the close box, the board's keys) and routes the keys pressed at the controls.
// The board's pointer, drops and painting belong to the board widget.

#include <QDialog>

#include <functional>
#include <vector>

#include "ui/platform.h"

namespace fifteen::ui {

class DialogWindow : public QDialog {
  public:
    explicit DialogWindow(DialogHandler& handler) : handler_(handler) {}

    // Keys pressed at control reach the board first (ui/qt/key_routing.h);
    // outputBox keeps its text cursor keys.
    void routeKeysOf(QWidget* control, const QWidget* outputBox);
    // Tab and Shift+Tab go round order, skipping what is disabled or hidden; the
    // window itself in it stands for the board, whose focus it holds.
    void setFocusOrder(std::vector<QWidget*> order) { tabOrder_ = std::move(order); }
    // Runs whenever the window's size has changed, to lay the controls out again.
    void onResized(std::function<void()> layOut) { layOut_ = std::move(layOut); }

  protected:
    // The close box asks; the dialog logic decides and ends the dialog itself.
    void closeEvent(QCloseEvent* event) override;
    // Esc is a cancel command the dialog logic does not handle: it must not end the
    // dialog behind the logic's back.
    void reject() override {}
    // The board's keys when the board (the dialog itself) has the focus.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Every Tab of a child ends here (a child passes it on to its window).
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent* event) override;
    // The Menu key anywhere (the controls other than the output box pass it on).
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    DialogHandler& handler_;
    const QWidget* outputBox_ = nullptr;
    std::vector<QWidget*> tabOrder_;
    std::function<void()> layOut_;
};

}  // namespace fifteen::ui
