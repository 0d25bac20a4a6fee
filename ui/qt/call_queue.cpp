#include "ui/qt/call_queue.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cstdint>
#include <utility>

#include <sys/eventfd.h>
#include <unistd.h>

namespace fifteen::ui {

CallQueue::CallQueue() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CallQueue::~CallQueue() {
    beginClose();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void CallQueue::attach(QObject* owner) {
    // Without its wake-up the dialog would never hear from the other threads.
    if (wakeFd_ < 0) qFatal("fifteen: cannot create an eventfd for the dialog");
    guiThread_ = std::this_thread::get_id();
    owner_ = owner;
    attached_ = true;
    auto* wake = new QSocketNotifier(static_cast<qintptr>(wakeFd_), QSocketNotifier::Read, owner);
    QObject::connect(wake, &QSocketNotifier::activated, owner, [this] { runPending(); });
}

bool CallQueue::run(const std::function<void()>& f) const {
    if (!attached_) return false;
    if (std::this_thread::get_id() == guiThread_) {
        if (!owner_) return false;
        f();
        return true;
    }
    const auto call = std::make_shared<PendingCall>();
    call->f = &f;
    {
        std::lock_guard lock(mutex_);
        if (closing_.load(std::memory_order_relaxed)) return false;
        pending_.push_back(call);
    }
    wake();
    std::unique_lock lock(mutex_);
    // A call that has started runs to its end even when closing begins inside it:
    // f refers to the caller's frame.
    done_.wait(lock, [&] {
        return call->done || (closing_.load(std::memory_order_relaxed) && !call->running);
    });
    return call->done;
}

void CallQueue::post(std::function<void()> f) {
    const auto call = std::make_shared<PendingCall>();
    call->posted = std::move(f);
    call->f = &call->posted;
    {
        std::lock_guard lock(mutex_);
        if (closing_.load(std::memory_order_relaxed)) return;
        pending_.push_back(call);
    }
    wake();
}

void CallQueue::wake() const {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void CallQueue::runPending() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
    for (;;) {
        std::shared_ptr<PendingCall> call;
        {
            std::lock_guard lock(mutex_);
            if (closing_.load(std::memory_order_relaxed) || pending_.empty()) return;
            call = pending_.front();
            pending_.pop_front();
            call->running = true;
        }
        // Unlocked: the call may come back into the platform.
        (*call->f)();
        {
            std::lock_guard lock(mutex_);
            call->done = true;
        }
        done_.notify_all();
    }
}

void CallQueue::beginClose() {
    {
        std::lock_guard lock(mutex_);
        closing_.store(true, std::memory_order_relaxed);
        pending_.clear();
    }
    done_.notify_all();
}

}  // namespace fifteen::ui
