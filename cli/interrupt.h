#pragma once

// Ctrl-C cancels the running solve the way the Cancel button does, through
// Solver::cancel: a request made while no search runs (tables still building, the
// frontier being built) is applied when the next search starts, and one made after
// the search has ended leaves the result alone. Solver::cancel takes a lock, so the
// signal handler only sets a flag and wakes a watcher thread, which makes the
// request.

#include <atomic>

namespace fifteen {
class Solver;
}

namespace fifteen::cli {

// While alive, SIGINT is handled as above for solver's solves (solver must outlive
// the watcher; one watcher at a time); a second Ctrl-C ends the program at once.
// Throws std::system_error (or std::runtime_error) when the watcher cannot start,
// leaving the signal disposition and mask as they were.
class InterruptWatcher {
  public:
    explicit InterruptWatcher(Solver& solver);
    ~InterruptWatcher();
    // From now on Ctrl-C cancels solver's solves instead (solver must outlive the
    // watcher).
    void retarget(Solver& solver);
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;
};

// True once Ctrl-C has been pressed: no further position is started.
bool interruptRequested();
// The same flag for work that polls it (the stronger tables' build): set once,
// read with relaxed loads.
const std::atomic<bool>* interruptFlagAddress();

}  // namespace fifteen::cli
