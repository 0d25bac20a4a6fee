#include "cli/batch_solve.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
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

std::vector<SolveRecord> BatchSolver::solve(
    std::vector<BatchJob>& jobs, Goal goal, bool (*stop)(),
    const std::function<bool(BatchJob& job)>& take,
    const std::function<void(std::size_t job, SolveRecord& record)>& made) {
    std::vector<SolveRecord> records(jobs.size());
    for (SolveRecord& record : records) record.status = solveCancelled;
    // Jobs handed out one at a time: their sizes differ by orders of magnitude.
    std::atomic<std::size_t> next{0};
    auto work = [&](Solver& solver) {
        const SolveOptions kept = solver.options();
        solver.setOptions(SolveOptions{1, kept.design});
        for (std::size_t i = next.fetch_add(1); i < jobs.size(); i = next.fetch_add(1)) {
            if (stop()) break;
            BatchJob& job = jobs[i];
            if (!take(job)) continue;
            job.taken = true;
            records[i] =
                solvePosition(solver, job.board, job.input->origin, job.input->text, false, goal);
            if (made) made(i, records[i]);
        }
        solver.setOptions(kept);
    };
    // The searches run on threads of their own while this one watches stop():
    // Ctrl-C reaches every search under way, not only the next one to start.
    std::mutex mutex;
    std::condition_variable done;
    std::size_t running = 0;
    const std::size_t wanted = std::min(solvers_.size(), jobs.size());
    std::vector<std::thread> threads;
    threads.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            {
                const std::lock_guard lock(mutex);
                ++running;
            }
            threads.emplace_back([&, i] {
                work(*solvers_[i]);
                const std::lock_guard lock(mutex);
                --running;
                done.notify_one();
            });
        } catch (const std::system_error&) {
            const std::lock_guard lock(mutex);
            --running;
            break;  // fewer at once
        }
    }
    if (threads.empty()) {
        work(*solvers_[0]);  // the program's watcher cancels this one
    } else {
        std::unique_lock lock(mutex);
        bool cancelled = false;
        while (!done.wait_for(lock, std::chrono::milliseconds(20), [&] { return running == 0; })) {
            if (cancelled || !stop()) continue;
            cancelled = true;
            for (Solver* solver : solvers_) solver->cancel();
        }
    }
    for (std::thread& thread : threads) thread.join();
    return records;
}

}  // namespace fifteen::cli
