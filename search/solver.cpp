#include "search/solver.h"

#include <cassert>

#include "search/solve_job.h"
#include "search/table_set.h"

namespace fifteen {

namespace {

class DefaultTableSet final : public TableSet {
  public:
    const char* name() const override { return "WD + PDB 5+5"; }
};

}  // namespace

const TableSet& defaultTableSet() {
    static const DefaultTableSet tables;
    return tables;
}

Solver::Solver(SolveOptions options) : Solver(solverState, defaultTableSet(), options) {}

Solver::Solver(SolverState& state, const TableSet& tables, SolveOptions options)
    : state_(state), tables_(tables), options_(options) {}

SolveResult Solver::solve(const Board& board, SolveOutput& output) {
    assert(&state_ == &solverState);
    state_.maxThreads = options_.maxThreads;
    state_.parallelDesign = options_.design;
    solveJob(board, output);
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
