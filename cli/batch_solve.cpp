#include "cli/batch_solve.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace fifteen::cli {

bool searchedOnOneThread(const TableSet& tables, const Board& board, Goal goal) {
    const NodeBounds bounds = tables.boundsOf(boardForSearch(board, goal));
    return std::max(bounds.wd, bounds.pdb) <= oneThreadBound;
}

BatchSolver::BatchSolver(Solver& first, const TableSet& tables, ParallelDesign design,
                         int workers) {
    solvers_.push_back(&first);
    for (int i = 1; i < workers; ++i) {
        states_.push_back(std::make_unique<SolverState>());
        ownSolvers_.push_back(
            std::make_unique<Solver>(*states_.back(), tables, SolveOptions{1, design}));
        solvers_.push_back(ownSolvers_.back().get());
    }
}

BatchSolver::~BatchSolver() = default;

std::vector<SolveRecord> BatchSolver::solve(const std::vector<BatchJob>& jobs, Goal goal,
                                            bool (*stop)()) {
    std::vector<SolveRecord> records(jobs.size());
    for (SolveRecord& record : records) record.status = solveCancelled;
    // Jobs handed out one at a time: their sizes differ by orders of magnitude.
    std::atomic<std::size_t> next{0};
    auto work = [&](Solver& solver) {
        const SolveOptions kept = solver.options();
        solver.setOptions(SolveOptions{1, kept.design});
        for (std::size_t i = next.fetch_add(1); i < jobs.size(); i = next.fetch_add(1)) {
            if (stop()) break;
            records[i] =
                solvePosition(solver, jobs[i].board, jobs[i].origin, jobs[i].input, false, goal);
        }
        solver.setOptions(kept);
    };
    const std::size_t helpers =
        std::min(solvers_.size() - 1, jobs.empty() ? std::size_t{0} : jobs.size() - 1);
    std::vector<std::thread> threads;
    threads.reserve(helpers);
    for (std::size_t i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back(work, std::ref(*solvers_[i + 1]));
        } catch (const std::system_error&) {
            break;  // fewer helpers: the calling thread does the rest
        }
    }
    work(*solvers_[0]);
    for (std::thread& thread : threads) thread.join();
    return records;
}

}  // namespace fifteen::cli
