#pragma once

// One solve at a time on a thread of its own: Solve starts it, Cancel stops it,
// and its texts, result and completion reach the GUI thread as posts and the
// completion message. It keeps the last result, which Trace, the steps and Copy
// solution read.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "search/solve_output.h"
#include "ui/output_model.h"
#include "ui/platform.h"
#include "ui/startup.h"

namespace fifteen::ui {

class SolveSession {
  public:
    SolveSession(Platform& platform, SolverServices& services, OutputBox& output,
                 StatusLine& status);
    // Joins the thread; the platform must have begun closing (stop).
    ~SolveSession();
    SolveSession(const SolveSession&) = delete;
    SolveSession& operator=(const SolveSession&) = delete;

    // GUI thread from here on. Starts a solve of board: the output box cleared,
    // the seconds counting, the progress line live.
    void start(const Board& board);
    // Cancel while solving: the search unwinds and the job still completes.
    void cancel();
    // Closing (after the platform's beginClose): a running solve is cancelled and
    // joined.
    void stop();

    // Timer ticks while solving: the seconds line, and the progress line under the
    // problem while the search runs.
    void countSecond();
    void showProgress();

    // On the completion message: the result kept (see keep), the unsolvable hint
    // written, the timers stopped. Returns the playback position the job set, if
    // it set one.
    std::optional<int32_t> finish();

    // The last solve's result, except that an unsolvable or invalid board keeps
    // the length and moves of the solve before it.
    const SolveResult& lastSolve() const { return lastSolve_; }
    // Replaces it (the moves of a review shown as a solution).
    void setLastSolve(const SolveResult& result) { lastSolve_ = result; }
    // Whether the shown result has a solution to play (the job's flag).
    bool solutionAvailable() const { return available_; }
    void setSolutionAvailable(bool available) { available_ = available; }
    int32_t seconds() const { return seconds_; }

  private:
    class Poster;

    void keep(const SolveResult& result);
    // What the solve thread's posts do, on the GUI thread.
    void showText(std::string text, std::vector<TextSpan> moves);

    Platform& platform_;
    SolverServices& services_;
    OutputBox& output_;
    StatusLine& status_;
    std::unique_ptr<Poster> poster_;
    std::thread thread_;

    // GUI thread only; the posts write them.
    SolveResult lastSolve_;
    SolveResult finished_;  // the job's result, from its last post
    bool available_ = false;
    // What the job said of the flag and the playback position, applied at its end.
    std::optional<bool> availableSaid_;
    std::optional<int32_t> position_;
    int textCount_ = 0;        // output texts of this solve so far
    std::string problemText_;  // the first: the problem, shown while searching
    bool searching_ = false;   // between the job's searchStarted and searchEnded
    int32_t seconds_ = 0;
    std::chrono::steady_clock::time_point started_{};
};

}  // namespace fifteen::ui
