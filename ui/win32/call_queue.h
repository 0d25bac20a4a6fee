#pragma once

// The call hand-over over Win32: a private message wakes the dialog, whose
// procedure runs the calls while the window is there.

#include <windows.h>

#include <atomic>

#include "ui/call_handover.h"

namespace fifteen::ui::win32 {

// The private message that wakes the dialog to serve the queue.
inline constexpr UINT callQueueMessage = WM_APP + 0x15;

class CallQueue final : public CallHandover {
  public:
    // On the GUI thread: calls are served from now on by window's callQueueMessage.
    void attach(HWND window) {
        attachToThisThread();
        window_.store(window);
    }
    // The window is gone: GUI-thread calls return false from now on.
    void detach() { window_.store(nullptr); }
    // On the GUI thread, for callQueueMessage.
    using CallHandover::runPending;

  private:
    void wake() const override {
        // The window may go while workers still post: they then find nothing to wake.
        if (HWND window = window_.load()) PostMessageW(window, callQueueMessage, 0, 0);
    }
    bool windowAlive() const override { return window_.load() != nullptr; }

    std::atomic<HWND> window_{nullptr};
};

}  // namespace fifteen::ui::win32
