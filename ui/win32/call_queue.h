#pragma once

// Calls made on other threads, carried to the GUI thread and waited for: the
// blocking queued call the solve thread and the table builds write the dialog
// with. Once closing has begun a call from another thread returns at once, so a
// worker never blocks a GUI thread that is waiting to join it.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace fifteen::ui::win32 {

// The private message that wakes the dialog to serve the queue.
inline constexpr UINT callQueueMessage = WM_APP + 0x15;

class CallQueue {
  public:
    CallQueue() = default;
    ~CallQueue() { beginClose(); }
    CallQueue(const CallQueue&) = delete;
    CallQueue& operator=(const CallQueue&) = delete;

    // On the GUI thread: calls are served from now on by window's callQueueMessage.
    void attach(HWND window);
    // The window is gone: GUI-thread calls return false from now on.
    void detach() { window_.store(nullptr); }
    // Runs f on the GUI thread and returns true once it has run there; from another
    // thread it waits for the GUI thread, but returns false without running f once
    // closing has begun, also when it was already waiting. False before attach and,
    // on the GUI thread, once the window is gone.
    bool run(const std::function<void()>& f) const;
    // From any thread, without waiting: f runs on the GUI thread after the calls
    // queued before it, unless closing begins first (then it is dropped).
    void post(std::function<void()> f);
    // On the GUI thread, for callQueueMessage: runs what is queued.
    void runPending();
    // Closing has begun: calls still queued are dropped and their callers released.
    void beginClose();
    bool closing() const { return closing_.load(std::memory_order_relaxed); }
    bool onGuiThread() const { return attached_ && std::this_thread::get_id() == guiThread_; }

  private:
    // A call handed over from another thread: a blocking one runs the caller's f,
    // a posted one its own copy.
    struct PendingCall {
        const std::function<void()>* f = nullptr;
        std::function<void()> posted;
        bool running = false;
        bool done = false;
    };

    void wake() const;

    // guiThread_ and attached_ are set before any other thread starts; the window
    // may go while workers still post (they then find nothing to wake). closing_ is
    // written under the lock (which orders it against the waits); being atomic it
    // may also be read without.
    std::atomic<HWND> window_{nullptr};
    bool attached_ = false;
    std::thread::id guiThread_;
    std::atomic<bool> closing_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable done_;
    mutable std::deque<std::shared_ptr<PendingCall>> pending_;
};

}  // namespace fifteen::ui::win32
