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

BatchSolver::~BatchSolver() {
    wait();
}

void BatchSolver::work(Solver& solver) {
    const SolveOptions kept = solver.options();
    solver.setOptions(SolveOptions{1, kept.design});
    std::vector<BatchJob>& jobs = *jobs_;
    for (std::size_t i = next_.fetch_add(1); i < jobs.size(); i = next_.fetch_add(1)) {
        if (stop_()) break;
        BatchJob& job = jobs[i];
        if (take_(job)) {
            job.taken = true;
            SolveRecord& record = (*records_)[i];
            record =
                solvePosition(solver, job.board, job.input->origin, job.input->text, false, goal_);
            if (made_) made_(i, record);
        }
        // Sequentially consistent with awaited_: either waitFor sees the job
        // done, or this sees it awaited and wakes it (through the mutex, so that
        // the wake-up does not fall between its check and its wait). Other jobs
        // wake nobody.
        finished_[i].store(true);
        if (awaited_.load() == i) {
            { const std::lock_guard lock(mutex_); }
            done_.notify_all();
        }
    }
    solver.setOptions(kept);
}

std::vector<SolveRecord> BatchSolver::solve(std::vector<BatchJob>& jobs, Goal goal, bool (*stop)(),
                                            const Take& take, const Made& made) {
    std::vector<SolveRecord> records;
    start(jobs, records, goal, stop, take, made);
    wait();
    return records;
}

void BatchSolver::start(std::vector<BatchJob>& jobs, std::vector<SolveRecord>& records, Goal goal,
                        bool (*stop)(), Take take, Made made) {
    wait();
    records.assign(jobs.size(), SolveRecord{});
    for (SolveRecord& record : records) record.status = solveCancelled;
    jobs_ = &jobs;
    records_ = &records;
    goal_ = goal;
    stop_ = stop;
    take_ = std::move(take);
    made_ = std::move(made);
    next_.store(0);
    cancelled_ = false;
    finished_ = std::make_unique<std::atomic<bool>[]>(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) finished_[i].store(false);
    // The searches run on threads of their own while the caller goes on, then
    // watches stop() in wait: Ctrl-C reaches every search under way, not only
    // the next one to start.
    const std::size_t wanted = std::min(solvers_.size(), jobs.size());
    threads_.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            {
                const std::lock_guard lock(mutex_);
                ++working_;
            }
            threads_.emplace_back([this, i] {
                work(*solvers_[i]);
                const std::lock_guard lock(mutex_);
                --working_;
                done_.notify_all();
            });
        } catch (const std::system_error&) {
            const std::lock_guard lock(mutex_);
            --working_;
            break;  // fewer at once
        }
    }
    if (threads_.empty()) work(*solvers_[0]);  // the program's watcher cancels this one
}

void BatchSolver::watchStop() {
    if (cancelled_ || !stop_()) return;
    cancelled_ = true;
    for (Solver* solver : solvers_) solver->cancel();
}

bool BatchSolver::waitFor(std::size_t job) {
    if (finished_[job].load()) return true;
    std::unique_lock lock(mutex_);
    awaited_.store(job);
    while (!finished_[job].load() && working_ > 0) {
        done_.wait_for(lock, std::chrono::milliseconds(20));
        watchStop();
    }
    awaited_.store(noJob);
    return finished_[job].load();
}

void BatchSolver::wait() {
    if (threads_.empty()) return;
    {
        std::unique_lock lock(mutex_);
        while (
            !done_.wait_for(lock, std::chrono::milliseconds(20), [&] { return working_ == 0; })) {
            watchStop();
        }
    }
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
}

}  // namespace fifteen::cli
