#include "ui/call_handover.h"

#include <utility>

namespace fifteen::ui {

bool CallHandover::run(const std::function<void()>& f) const {
    if (!attached_) return false;
    if (std::this_thread::get_id() == guiThread_) {
        if (!windowAlive()) return false;
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

void CallHandover::post(std::function<void()> f) {
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

void CallHandover::runPending() {
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

void CallHandover::beginClose() {
    {
        std::lock_guard lock(mutex_);
        closing_.store(true, std::memory_order_relaxed);
        pending_.clear();
    }
    done_.notify_all();
}

}  // namespace fifteen::ui
