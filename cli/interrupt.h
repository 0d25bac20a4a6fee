#pragma once

// Ctrl-C cancels the running solve the way the Cancel button does, through
// Solver::cancel: a request made while no search runs (tables still building, the
// frontier being built) is applied when the next search starts, and one made after
// the search has ended leaves the result alone. Solver::cancel takes a lock, so the
// signal handler only sets a flag and wakes a watcher thread, which makes the
// request.

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
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;
};

// True once Ctrl-C has been pressed: no further position is started.
bool interruptRequested();

}  // namespace fifteen::cli
