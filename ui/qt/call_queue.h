#pragma once

// The call hand-over over Qt: an eventfd wakes the GUI thread, whose socket
// notifier runs the calls while the owner lives.

#include <QPointer>

#include "ui/call_handover.h"

class QObject;

namespace fifteen::ui {

class CallQueue final : public CallHandover {
  public:
    CallQueue();
    ~CallQueue() override;

    // On the GUI thread: calls are served from now on, while owner (which holds the
    // wake-up) lives.
    void attach(QObject* owner);

  private:
    void wake() const override;
    bool windowAlive() const override { return !owner_.isNull(); }

    QPointer<QObject> owner_;
    int wakeFd_ = -1;
};

}  // namespace fifteen::ui
