#include "ui/qt/call_queue.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace fifteen::ui {

CallQueue::CallQueue() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CallQueue::~CallQueue() {
    // No worker may wake the descriptor once it is closed.
    beginClose();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void CallQueue::attach(QObject* owner) {
    // Without its wake-up the dialog would never hear from the other threads.
    if (wakeFd_ < 0) qFatal("fifteen: cannot create an eventfd for the dialog");
    attachToThisThread();
    owner_ = owner;
    auto* wake = new QSocketNotifier(static_cast<qintptr>(wakeFd_), QSocketNotifier::Read, owner);
    QObject::connect(wake, &QSocketNotifier::activated, owner, [this] {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
        runPending();
    });
}

void CallQueue::wake() const {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

}  // namespace fifteen::ui
