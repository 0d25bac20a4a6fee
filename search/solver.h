#pragma once

// The solver as the front ends see it: a table set, a record to work in and the
// options; a board in, a result out, progress and texts to an observer.

#include <cstdint>

#include "puzzle/board.h"
#include "search/parallel_search.h"
#include "search/solve_output.h"
#include "search/solver_state.h"

namespace fifteen {

class TableSet;

struct SolveOptions {
    int32_t maxThreads = 1;  // search threads at most (the front ends: the OpenMP maximum)
    // With more than one thread; with one, both designs search the start node.
    ParallelDesign design = ParallelDesign::shared;
};

// One solve at a time per solver; two solvers over different records may run at
// once (the tables are only read). The record and the table set must outlive it.
class Solver {
  public:
    // Over the program's record and its default table set (walking distance and
    // the two 5+5 databases, made by Preparation).
    explicit Solver(SolveOptions options = {});
    // Over a record of its own (a test, an analysis beside the shown solve).
    Solver(SolverState& state, const TableSet& tables, SolveOptions options = {});
    Solver(const Solver&) = delete;
    Solver& operator=(const Solver&) = delete;

    void setOptions(const SolveOptions& options) { options_ = options; }
    const SolveOptions& options() const { return options_; }

    // One solve on the calling thread; the tables must be complete. The texts and
    // notifications go to output, its last call being solveFinished(result). A
    // board without exactly one of each value 0..15 is rejected before any search
    // (solveInvalid, status line "Invalid").
    SolveResult solve(const Board& board, SolveOutput& output);

    // Any thread. A request made before the search of a solve begins is kept and
    // applied when it begins; one made after it has ended changes nothing. Not
    // async-signal-safe (it takes a lock).
    void cancel();
    // Forgets an earlier request: before a solve is started on another thread.
    void clearCancel();
    bool cancelRequested() const;
    // Any thread, any time: the running search's bound and nodes (zero before it).
    SearchProgress progress() const;

  private:
    SolverState& state_;
    const TableSet& tables_;
    SolveOptions options_;
};

}  // namespace fifteen
