#pragma once

// Calls made on other threads, carried to the GUI thread and waited for: the
// blocking queued call the solve thread and the table builds write the dialog
// with. Once closing has begun a call from another thread returns at once, so a
// worker never blocks a GUI thread that is waiting to join it.
//
// The hand-over is one lock that every tool can see; a window system only wakes
// its GUI thread (wake) and says whether the window the calls serve is still
// there (windowAlive).

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace fifteen::ui {

class CallHandover {
  public:
    CallHandover() = default;
    virtual ~CallHandover() { beginClose(); }
    CallHandover(const CallHandover&) = delete;
    CallHandover& operator=(const CallHandover&) = delete;

    // Runs f on the GUI thread and returns true once it has run there; from another
    // thread it waits for the GUI thread, but returns false without running f once
    // closing has begun, also when it was already waiting. False before attach and,
    // on the GUI thread, once the window is gone.
    bool run(const std::function<void()>& f) const;
    // From any thread, without waiting: f runs on the GUI thread after the calls
    // queued before it, unless closing begins first (then it is dropped).
    void post(std::function<void()> f);
    // Closing has begun: calls still queued are dropped and their callers released.
    void beginClose();
    bool closing() const { return closing_.load(std::memory_order_relaxed); }
    bool onGuiThread() const { return attached_ && std::this_thread::get_id() == guiThread_; }

  protected:
    // On the GUI thread, before any other thread starts: this thread serves the calls.
    void attachToThisThread() {
        guiThread_ = std::this_thread::get_id();
        attached_ = true;
    }
    // On the GUI thread, once woken: runs what is queued.
    void runPending();

  private:
    // From any thread: the GUI thread is to call runPending soon. One wake-up may
    // serve several calls; a spare one finds the queue empty.
    virtual void wake() const = 0;
    virtual bool windowAlive() const = 0;

    // A call handed over from another thread, waiting in pending_: a blocking one
    // runs the caller's f, a posted one its own copy.
    struct PendingCall {
        const std::function<void()>* f = nullptr;
        std::function<void()> posted;
        bool running = false;
        bool done = false;
    };

    // guiThread_ and attached_ are set before any other thread starts. closing_ is
    // written under the lock (the lock orders it against the waits); being atomic
    // it may also be read without.
    bool attached_ = false;
    std::thread::id guiThread_;
    std::atomic<bool> closing_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable done_;
    mutable std::deque<std::shared_ptr<PendingCall>> pending_;
};

}  // namespace fifteen::ui
