#include "cli/interrupt.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "search/solver.h"

namespace fifteen::cli {
namespace {

// Written by the signal handler, so a lock-free atomic (async-signal-safe). Any
// order suffices for the flag itself: the watcher is woken through the pipe, whose
// write and read order the store before the watcher's load.
std::atomic<bool> interruptFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Wakes the watcher: a byte from the handler (write is async-signal-safe), or the
// end of the pipe when the watcher is to stop.
int wakeRead = -1;
int wakeWrite = -1;
std::thread watcher;
// Set before the watcher starts, and by retarget while it runs: release/acquire,
// so the watcher sees the solver the pointer names.
std::atomic<Solver*> target{nullptr};

extern "C" void onInterrupt(int) {
    interruptFlag.store(true, std::memory_order_relaxed);
    const char byte = 1;
    const ssize_t written = write(wakeWrite, &byte, 1);
    static_cast<void>(written);  // a full pipe already holds a wake-up
}

void watch() {
    for (;;) {
        char byte = 0;
        const ssize_t n = read(wakeRead, &byte, 1);
        if (n == 0 || (n < 0 && errno != EINTR)) return;
        if (interruptFlag.load(std::memory_order_relaxed))
            target.load(std::memory_order_acquire)->cancel();
    }
}

}  // namespace

InterruptWatcher::InterruptWatcher(Solver& solver) {
    target.store(&solver, std::memory_order_release);
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error("no pipe for the interrupt watcher");
    wakeRead = ends[0];
    wakeWrite = ends[1];
    // The handler must never block on a full pipe.
    fcntl(wakeWrite, F_SETFL, fcntl(wakeWrite, F_GETFL) | O_NONBLOCK);
    // Started with SIGINT blocked, so the signal goes to the main thread and ends a
    // read of standard input there.
    sigset_t interrupt;
    sigset_t previous;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
    try {
        watcher = std::thread(watch);
    } catch (const std::system_error&) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        close(wakeRead);
        close(wakeWrite);
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read of standard input that Ctrl-C interrupts must end
    // instead of waiting on. SA_RESETHAND: a second Ctrl-C ends the program at once.
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigaction(SIGINT, &action, nullptr);
}

InterruptWatcher::~InterruptWatcher() {
    signal(SIGINT, SIG_DFL);
    close(wakeWrite);
    watcher.join();
    close(wakeRead);
}

void InterruptWatcher::retarget(Solver& solver) {
    target.store(&solver, std::memory_order_release);
}

const std::atomic<bool>* interruptFlagAddress() {
    return &interruptFlag;
}

bool interruptRequested() {
    return interruptFlag.load(std::memory_order_relaxed);
}

}  // namespace fifteen::cli
