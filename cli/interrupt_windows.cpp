// Ctrl+C and Ctrl+Break on Windows: the console calls its handlers on a thread of
// its own, which can take Solver::cancel's lock itself; no watcher is needed.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <stdexcept>

#include "cli/interrupt.h"
#include "cli/options.h"
#include "search/solver.h"

namespace fifteen::cli {
namespace {

// Set by the handler's thread, read by the others with relaxed loads: a flag that
// is only ever set, whose readers need nothing else it would publish.
std::atomic<bool> interruptFlag{false};

// The solver Ctrl+C cancels; the mutex keeps a handler that is running from using
// it after the watcher has gone or been retargeted.
std::mutex targetMutex;
Solver* target = nullptr;
// The main thread, whose blocked read of standard input the first Ctrl+C ends.
HANDLE mainThread = nullptr;

BOOL WINAPI onControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // A second one ends a program that is slow to stop at once, with the code the
    // first one would have given.
    if (interruptFlag.exchange(true)) ExitProcess(static_cast<UINT>(exitInterrupted));
    {
        const std::lock_guard<std::mutex> lock(targetMutex);
        if (target != nullptr) target->cancel();
        if (mainThread != nullptr) CancelSynchronousIo(mainThread);
    }
    return TRUE;
}

}  // namespace

InterruptWatcher::InterruptWatcher(Solver& solver) {
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0,
                         FALSE, DUPLICATE_SAME_ACCESS)) {
        throw std::runtime_error("no handle of the main thread for the interrupt handler");
    }
    {
        const std::lock_guard<std::mutex> lock(targetMutex);
        target = &solver;
        mainThread = self;
    }
    if (!SetConsoleCtrlHandler(onControl, TRUE)) {
        const std::lock_guard<std::mutex> lock(targetMutex);
        target = nullptr;
        mainThread = nullptr;
        CloseHandle(self);
        throw std::runtime_error("the console's interrupt handler cannot be installed");
    }
}

InterruptWatcher::~InterruptWatcher() {
    SetConsoleCtrlHandler(onControl, FALSE);
    const std::lock_guard<std::mutex> lock(targetMutex);
    target = nullptr;
    CloseHandle(mainThread);
    mainThread = nullptr;
}

void InterruptWatcher::retarget(Solver& solver) {
    const std::lock_guard<std::mutex> lock(targetMutex);
    target = &solver;
}

const std::atomic<bool>* interruptFlagAddress() {
    return &interruptFlag;
}

bool interruptRequested() {
    return interruptFlag.load(std::memory_order_relaxed);
}

}  // namespace fifteen::cli
