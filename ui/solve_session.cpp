#include "ui/solve_session.h"

#include <memory>
#include <utility>

#include "search/report.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

// The solve's view of the dialog, on the solve thread: every call is posted to
// the GUI thread, in order, and the completion message follows the last post, so
// when it is handled everything before it has been shown.
class SolveSession::Poster final : public SolveOutput {
  public:
    Poster(SolveSession& session, Platform& platform) : session_(session), platform_(platform) {}

    void setOutputText(const char* text) override {
        platform_.post([this, s = std::string(text)] { session_.showText(s, {}); });
    }
    void setReportText(const char* text, const TextSpan* moves, int32_t count) override {
        std::vector<TextSpan> spans(moves, moves + (count > 0 ? count : 0));
        platform_.post([this, s = std::string(text), spans = std::move(spans)] {
            session_.showText(s, spans);
        });
    }
    void setStatusText(const char* text) override {
        platform_.post([this, s = std::string(text)] { session_.status_.set(s); });
    }
    void setSecondsText(const char* text) override {
        platform_.post([this, s = std::string(text)] { session_.status_.setSeconds(s); });
    }
    void setSolutionAvailable(bool available) override {
        platform_.post([this, available] { session_.availableSaid_ = available; });
    }
    void setPlaybackPosition(int32_t position) override {
        platform_.post([this, position] { session_.position_ = position; });
    }
    void searchStarted() override {
        platform_.post([this] { session_.searching_ = true; });
    }
    void searchEnded(SolveStatus) override {
        platform_.post([this] { session_.searching_ = false; });
    }
    void solveFinished(const SolveResult& result) override {
        platform_.post([this, result] { session_.finished_ = result; });
        platform_.sendMessage(msgSolveFinished);
    }

  private:
    SolveSession& session_;
    Platform& platform_;
};

SolveSession::SolveSession(Platform& platform, SolverServices& services, OutputBox& output,
                           StatusLine& status)
    : platform_(platform),
      services_(services),
      output_(output),
      status_(status),
      poster_(std::make_unique<Poster>(*this, platform)) {}

SolveSession::~SolveSession() {
    stop();
}

void SolveSession::start(const Board& board) {
    output_.setText("");
    seconds_ = 0;
    platform_.setTimer(timerMain, secondsPeriodMs);
    if (thread_.joinable()) {
        thread_.join();  // it has sent its completion message and is ending
    }
    // Here rather than in the job, so a Cancel clicked before the thread runs counts.
    services_.clearCancel();
    textCount_ = 0;
    problemText_.clear();
    searching_ = false;
    position_.reset();
    availableSaid_.reset();
    started_ = std::chrono::steady_clock::now();
    platform_.setTimer(timerProgress, progressPeriodMs);
    thread_ = std::thread([this, board] { services_.solve(board, *poster_); });
}

void SolveSession::cancel() {
    services_.cancelSolve();
}

void SolveSession::stop() {
    if (!thread_.joinable()) return;
    // The request is kept until the search starts, so one is enough; after the
    // job it does nothing.
    services_.cancelSolve();
    thread_.join();
}

void SolveSession::showText(std::string text, std::vector<TextSpan> moves) {
    // The first text of a solve is the problem, shown while the search runs; the
    // next one is the report, after which no progress may follow.
    if (++textCount_ == 1) problemText_ = text;
    output_.setText(std::move(text), std::move(moves));
}

void SolveSession::countSecond() {
    ++seconds_;
    StatusText text;
    formatSeconds(text, seconds_);
    status_.setSeconds(text.c_str());
}

void SolveSession::showProgress() {
    const SearchProgress progress = services_.progress();
    if (!searching_ || textCount_ != 1 || progress.bound <= 0) return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_);
    ProgressText line;
    formatProgress(line, progress.bound, progress.nodes, elapsed.count());
    // The output box is narrower than the line: the counts go on a line of their own.
    std::string shown = line.c_str();
    if (const auto comma = shown.find(", "); comma != std::string::npos) {
        shown.replace(comma, 2, ",\r\n ");
    }
    output_.setText(problemText_ + shown);
}

std::optional<int32_t> SolveSession::finish() {
    platform_.killTimer(timerMain);
    platform_.killTimer(timerProgress);
    keep(finished_);
    if (availableSaid_) available_ = *availableSaid_;
    if (finished_.status == solveUnsolvable) {
        output_.appendToBody(std::string("\r\n") + unsolvableHint + "\r\n");
    }
    return std::exchange(position_, std::nullopt);
}

// As the solver's record kept it: an unsolvable or invalid board replaces only the
// problem, so the earlier solution's length and moves stay; a cancelled solve
// leaves no moves (length 0).
void SolveSession::keep(const SolveResult& result) {
    SolveResult kept = result;
    if (result.status != solveSolved && result.status != solveCancelled) {
        kept.length = lastSolve_.length;
        kept.moves = lastSolve_.moves;
    }
    lastSolve_ = kept;
}

}  // namespace fifteen::ui
