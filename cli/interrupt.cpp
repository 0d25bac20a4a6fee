#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

#include "search/parallel_search.h"
#include "search/solver_state.h"

namespace fifteen::cli {
namespace {

// Written by the signal handler, so lock-free atomics only (async-signal-safe).
// Sequentially consistent: the handler stores the flag before it reads
// searchActive, searchStarting stores searchActive before it reads the flag, so
// at least one of them sees the other and the cancel is applied.
std::atomic<bool> interruptFlag{false};
std::atomic<bool> searchActive{false};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int32_t>::is_always_lock_free);

extern "C" void onInterrupt(int) {
    interruptFlag.store(true);
    if (searchActive.load()) storeCancelRequest(solverState);
}

}  // namespace

void installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read of standard input that Ctrl-C interrupts must end
    // instead of waiting on. SA_RESETHAND: a second Ctrl-C ends the program at once.
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigaction(SIGINT, &action, nullptr);
}

bool interruptRequested() {
    return interruptFlag.load();
}

void searchStarting() {
    searchActive.store(true);
    if (interruptFlag.load())
        solverState.bestLength.store(cancelRequest, std::memory_order_relaxed);
}

void searchEnded() {
    searchActive.store(false);
}

void clearInterruptRequest() {
    interruptFlag.store(false);
}

}  // namespace fifteen::cli
