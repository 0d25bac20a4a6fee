#pragma once

// Ctrl-C cancels the running solve the way the Cancel button does: cancelRequest
// in solverState.bestLength. A request that arrives while no search runs (tables
// still building, the frontier being built, a report being written) is kept and
// applied when the next search starts, so it is neither lost nor written into a
// finished result.

namespace fifteen::cli {

void installInterruptHandler();
bool interruptRequested();

// Called on the solve thread around the parallel search of one solve.
void searchStarting();
void searchEnded();

// For tests: forget an earlier request.
void clearInterruptRequest();

}  // namespace fifteen::cli
