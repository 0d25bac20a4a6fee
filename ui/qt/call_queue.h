#pragma once

// Calls made on other threads, carried to the GUI thread and waited for: the
// blocking queued call the solve thread and the table builds write the dialog
// with. Once closing has begun a call from another thread returns at once, so a
// worker never blocks a GUI thread that is waiting to join it.

#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;

namespace fifteen::ui {

class CallQueue {
  public:
    CallQueue();
    ~CallQueue();
    CallQueue(const CallQueue&) = delete;
    CallQueue& operator=(const CallQueue&) = delete;

    // On the GUI thread: calls are served from now on, while owner (which holds the
    // wake-up) lives.
    void attach(QObject* owner);
    // Runs f on the GUI thread and returns true once it has run there; from another
    // thread it waits for the GUI thread, but returns false without running f once
    // closing has begun, also when it was already waiting. False before attach and,
    // on the GUI thread, once the owner is gone.
    bool run(const std::function<void()>& f) const;
    // From any thread, without waiting: f runs on the GUI thread after the calls
    // queued before it, unless closing begins first (then it is dropped).
    void post(std::function<void()> f);
    // Closing has begun: calls still queued are dropped and their callers released.
    void beginClose();
    bool closing() const { return closing_.load(std::memory_order_relaxed); }

  private:
    // A call handed over from another thread, waiting in pending_: a blocking one
    // runs the caller's f, a posted one its own copy.
    struct PendingCall {
        const std::function<void()>* f = nullptr;
        std::function<void()> posted;
        bool running = false;
        bool done = false;
    };

    void wake() const;

    // On the GUI thread, when the wake-up descriptor fires.
    void runPending();

    // Calls from other threads travel in pending_ under mutex_, not through Qt's
    // event queue, so the hand-over is one lock that every tool can see; an eventfd
    // only wakes the GUI thread. guiThread_ and owner_ are set before any other
    // thread starts. closing_ is written under the lock too (the lock orders it
    // against the waits); being atomic it may also be read without.
    QPointer<QObject> owner_;
    bool attached_ = false;
    std::thread::id guiThread_;
    int wakeFd_ = -1;
    std::atomic<bool> closing_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable done_;
    mutable std::deque<std::shared_ptr<PendingCall>> pending_;
};

}  // namespace fifteen::ui
