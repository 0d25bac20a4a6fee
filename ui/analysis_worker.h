#pragma once

// The thread that analyses the shown board's moves and reviews the user's moves
// beside the dialog, one job at a time. Each request is numbered; a new one
// cancels the one running, and a result reaches the dialog (posted to the GUI
// thread) only if no request came after it, so a stale answer is never shown.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
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

    // Results are posted through platform to onResult.
    AnalysisWorker(Platform& platform, SolverServices& services,
                   std::function<void(const Result&)> onResult);
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
    // GUI thread: a posted result, handed on unless a later request came.
    void deliver(const Result& result);

    Platform& platform_;
    SolverServices& services_;
    std::function<void(const Result&)> onResult_;
    // Written on the GUI thread under the lock; the worker compares against it to
    // drop a stale result early, the GUI thread again when the result arrives.
    std::atomic<uint64_t> generation_{0};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> job_;  // waiting for the thread
    bool stop_ = false;
    std::thread thread_;
    // GUI thread only.
    std::optional<Kind> latestKind_;
    bool answered_ = true;  // the latest request has been handed over or dropped
};

}  // namespace fifteen::ui
