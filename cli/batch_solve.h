#pragma once

// Many positions at once under the default options: a search whose start bound
// is small costs less than a parallel search's set-up (a frontier built and
// threads woken for each), so such positions are solved on one thread each, as
// many at once as there are cores, and only the larger ones with every thread.
// Which way a position goes depends on the position alone, so a batch answers
// each one exactly as the same options answer it alone.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/position_source.h"
#include "cli/solve_record.h"
#include "puzzle/board.h"
#include "puzzle/goal.h"
#include "search/solver.h"
#include "search/table_set.h"

namespace fifteen::cli {

// Start bounds (the larger of walking distance and database) at or below this are
// searched on one thread: every position of at most this many moves is among them.
inline constexpr int32_t oneThreadBound = 32;

// Whether the default options search board (exactly one of each value 0..15),
// written for goal, on one thread.
bool searchedOnOneThread(const TableSet& tables, const Board& board, Goal goal);

struct BatchJob {
    const PositionInput* input = nullptr;  // its origin and text
    Board board{};                         // set by take
    bool taken = false;                    // solved by the batch (set by a worker)
};

// Solvers that each search one position on one thread, side by side.
class BatchSolver {
  public:
    // workers: positions solved at once. The first worker searches in first's
    // record, the others in records of their own, over the same tables.
    BatchSolver(Solver& first, const TableSet& tables, ParallelDesign design, int workers);
    ~BatchSolver();
    BatchSolver(const BatchSolver&) = delete;
    BatchSolver& operator=(const BatchSolver&) = delete;

    int workers() const { return static_cast<int>(solvers_.size()); }

    // The record of each job, in the order given, as solvePosition makes it with
    // one thread. take(job), on a worker, sets the job's board and says whether
    // the batch solves it (then taken is set): a job not taken has no record and
    // is left to the caller. Once stop() is true (polled every 20 ms) the
    // searches under way are cancelled (their records say so) and no further
    // job is started: those have no record (status solveCancelled, empty origin)
    // and are not taken. made, when given, is called with each record (and its
    // job's index) on the thread that solved it, as soon as it is solved: work
    // on the answer that needs no order.
    using Take = std::function<bool(BatchJob& job)>;
    using Made = std::function<void(std::size_t job, SolveRecord& record)>;
    std::vector<SolveRecord> solve(std::vector<BatchJob>& jobs, Goal goal, bool (*stop)(),
                                   const Take& take, const Made& made = {});

    // The same in parts, so that the caller may read and write meanwhile: start
    // returns once the workers run (or, when no thread can be started, once the
    // jobs are done on this one); waitFor(job) returns once that job is done
    // (true: its record and taken may be read) or will never be (false:
    // stopped); wait returns when all are, records filled as solve returns them.
    // jobs and records stay where they are until wait; one batch at a time.
    // While waiting, stop() is watched as in solve.
    void start(std::vector<BatchJob>& jobs, std::vector<SolveRecord>& records, Goal goal,
               bool (*stop)(), Take take, Made made = {});
    bool waitFor(std::size_t job);
    // Whether the job is done, without waiting.
    bool finished(std::size_t job) const { return finished_[job].load(); }
    void wait();

  private:
    std::vector<std::unique_ptr<SolverState>> states_;
    std::vector<std::unique_ptr<Solver>> ownSolvers_;
    std::vector<Solver*> solvers_;

    void work(Solver& solver);
    std::vector<BatchJob>* jobs_ = nullptr;
    std::vector<SolveRecord>* records_ = nullptr;
    Goal goal_ = Goal::blankLast;
    bool (*stop_)() = nullptr;
    Take take_;
    Made made_;
    // Jobs handed out one at a time: their sizes differ by orders of magnitude.
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable done_;
    std::size_t working_ = 0;  // under mutex_
    bool cancelled_ = false;   // under mutex_
    // Per job: done (set by its worker, with release, after its record).
    std::unique_ptr<std::atomic<bool>[]> finished_;
    // The job waitFor sleeps on, if any: only its end wakes the caller.
    static constexpr std::size_t noJob = ~std::size_t{0};
    std::atomic<std::size_t> awaited_{noJob};
    // Under mutex_: cancels every search once stop() is seen.
    void watchStop();
    std::vector<std::thread> threads_;
};

}  // namespace fifteen::cli
