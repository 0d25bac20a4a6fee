#pragma once

// The thread that analyses the shown board's moves and reviews the user's moves
// beside the dialog, one job at a time. Each request is numbered; a new one
// cancels the one running, and a result reaches the dialog only if no request
// came after it, so a stale answer is never shown.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/move_text.h"
#include "search/move_analysis.h"
#include "ui/platform.h"
#include "ui/startup.h"

namespace fifteen::ui {

class AnalysisWorker {
  public:
    enum class Kind { analysis, review };

    struct Result {
        uint64_t generation = 0;
        Kind kind = Kind::analysis;
        MoveAnalysis analysis;  // of an analysis
        MoveReview review;      // of a review
    };

    // message: what the worker sends through platform when a result waits.
    AnalysisWorker(Platform& platform, SolverServices& services, int message);
    ~AnalysisWorker();
    AnalysisWorker(const AnalysisWorker&) = delete;
    AnalysisWorker& operator=(const AnalysisWorker&) = delete;

    // GUI thread. A new job, in place of any earlier one; returns its number.
    uint64_t analyse(const Board& board);
    uint64_t review(const Board& start, std::vector<WrittenMove> moves);
    // Makes the running or waiting job stale and stops it.
    void cancel();
    // Once the platform has begun closing: stops the thread and waits for it.
    void stop();
    // On the worker's message: the result of the latest request, or nullopt when
    // it is stale (or was taken already).
    std::optional<Result> take();
    // The kind of the latest request while it has not been answered.
    std::optional<Kind> pending() const;

  private:
    struct Job {
        uint64_t generation = 0;
        Kind kind = Kind::analysis;
        Board board{};
        std::vector<WrittenMove> moves;
    };

    uint64_t submit(Job job);
    void run();

    Platform& platform_;
    SolverServices& services_;
    const int message_;
    // Written on the GUI thread under the lock; the worker compares against it.
    std::atomic<uint64_t> generation_{0};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> job_;        // waiting for the thread
    std::optional<Result> result_;  // waiting for the GUI thread
    std::optional<Kind> latestKind_;
    bool answered_ = true;  // the latest request has been handed over or dropped
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace fifteen::ui
