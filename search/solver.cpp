#include "search/solver.h"

#include "search/solve_job.h"
#include "search/table_set.h"

namespace fifteen {

Solver::Solver(SolveOptions options) : Solver(solverState, defaultTableSet(), options) {}

Solver::Solver(SolverState& state, const TableSet& tables, SolveOptions options)
    : state_(state), tables_(tables), options_(options) {}

SolveResult Solver::solve(const Board& board, SolveOutput& output) {
    state_.maxThreads = options_.maxThreads;
    state_.parallelDesign = options_.design;
    solveJob(state_, tables_, board, output);
    return solveResultOf(state_);
}

void Solver::cancel() {
    requestCancel(state_);
}

void Solver::clearCancel() {
    clearCancelRequest(state_);
}

bool Solver::cancelRequested() const {
    return isCancelRequested(state_);
}

SearchProgress Solver::progress() const {
    return readSearchProgress(state_);
}

}  // namespace fifteen
