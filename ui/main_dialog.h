#pragma once

// The program's only window: the modes, the commands, the messages of the
// preparation and solve threads, the board mouse handler and the playback timer.
// Written against the platform layer only; every call arrives on the GUI thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "search/preparation.h"
#include "search/solver.h"
#include "ui/analysis_worker.h"
#include "ui/board_view.h"
#include "ui/dialog_actions.h"
#include "ui/dialog_ids.h"
#include "ui/platform.h"
#include "ui/playback.h"
#include "ui/review_plot.h"
#include "ui/settings.h"
#include "ui/startup.h"
#include "ui/stronger_tables_control.h"

namespace fifteen::ui {

class MainDialog final : public DialogHandler {
  public:
    // Over the program's tables and solver.
    explicit MainDialog(Platform& platform);
    // Over other services (tests); services must outlive the dialog.
    MainDialog(Platform& platform, SolverServices& services);
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;
    // Stops the threads if the dialog was never closed.
    ~MainDialog() override;

    void onInit() override;
    void onCommand(int controlId) override;
    void onTimer(int timerId) override;
    void onMessage(int message) override;
    void onMouse(MouseEvent event, Point client) override;
    void onPaint() override;
    void onClose() override;
    bool onKey(Key key, bool autoRepeat) override;
    void onDropText(std::string_view text) override;
    void onContextMenu(Point client) override;

    // Where the dialog's choices are kept between runs (before onInit; without
    // one they last as long as the dialog). settings must outlive the dialog.
    void rememberIn(Settings& settings) { settings_ = &settings; }

    // The board's context menu as it stands now, and one of its actions.
    std::vector<MenuItem> menuItems() const;
    void runAction(Action action);

    // The "Stronger tables" toggle (ui/stronger_tables_control.h); before onInit
    // it only records the choice, which onInit then starts.
    void setStrongerTables(bool on);
    bool strongerTablesOn() const;
    // True while the stronger tables are being loaded or built.
    bool strongerTablesPreparing() const;

    // Read-outs (GUI thread).
    UiMode mode() const { return mode_; }
    const BoardView& view() const { return view_; }
    const Playback& playback() const { return playback_; }
    bool solutionAvailable() const { return solutionAvailable_; }
    bool isReady(PreparedTable table) const { return ready_[static_cast<int>(table)]; }
    bool allReady() const { return ready_[0] && ready_[1] && ready_[2]; }
    bool preparationFailed() const { return preparationFailed_; }
    int32_t seconds() const { return seconds_; }
    bool pausing() const { return pausing_; }
    bool reportStale() const { return staleShown_; }
    bool stepping() const { return stepping_; }
    int speed() const { return speed_; }  // index into playbackSpeeds
    // The last solve's result, except that an unsolvable or invalid board keeps
    // the length and moves of the solve before it (see keepSolve).
    const SolveResult& lastSolve() const { return lastSolve_; }
    // Show optimal moves, on or off (the menu's toggle).
    bool marksOn() const { return marksOn_; }
    void setMarksOn(bool on);
    const BoardMarks& marks() const { return marksShown_; }
    bool plotShown() const { return plotShown_; }
    const ReviewPlot& plot() const { return plot_; }

  private:
    class Output;

    void setMode(UiMode mode);
    void shuffle();
    void backward();
    void directDrag();
    void reset();
    void solve();
    void cancel();
    void trace();
    void traceTick();
    void endPause();
    void stopThreads();
    void keepSolve(const SolveResult& result);
    void showPreparationFailure();
    void showPreparationProgress();

    // The added tools (dialog_actions.cpp).
    bool beginUserAction();
    bool busy() const;
    void endDrag();
    void finishStep();
    bool canStep() const;
    int32_t solutionLength() const;
    void paste(std::string_view text);
    void copyPosition();
    void copySolution();
    void step(bool forward, bool animate);
    void jumpTo(int32_t position);
    void changeSpeed(int delta);
    void endSpeedNote();
    bool arrowKey(Key key, bool autoRepeat);
    void showProgress();
    void explainUnsolvable();
    // The report's text, then (below a separator line) a paste's error message in
    // full, or nothing below the report when note is empty.
    void showOutputNote(const std::string& note);
    // Marks the report as stale when the shown board is neither its problem nor
    // a step of its solution.
    void updateStaleMark();
    bool isStepOfReport(const Board& board) const;
    // Marks the move just made in the report's solution list while stepping or
    // playing back; no mark at the problem or over a stale report.
    void updateMoveMark();

    // The kept choices (dialog_settings.cpp), and the help windows (dialog_help.cpp).
    void restoreSettings();
    void showHelp();
    void showAbout();

    // Show optimal moves and Check my moves (move_marks.cpp, check_moves.cpp).
    // After anything that may have changed the board or the mode: the plot and
    // the marks follow.
    void followBoard() {
        syncReviewPlot();
        syncMarks();
    }
    bool marksCanShow() const;
    void syncMarks();
    void hideMarks();
    void showAnalysis(const MoveAnalysis& analysis);
    void onWorkerMessage();
    void checkMoves();
    void showReview(const MoveReview& review);
    void syncReviewPlot();

    // The stronger tables' messages, and the output box lines they show.
    void onStrongerTablesMessage(int message);
    void showStrongerTablesLines(std::vector<std::string> lines);

    Platform& platform_;
    std::unique_ptr<SolverServices> ownServices_;
    SolverServices& services_;
    BoardView view_;
    Playback playback_;
    std::unique_ptr<Output> output_;

    UiMode mode_ = UiMode::idle;
    bool ready_[3] = {false, false, false};
    // Set by a build thread whose build failed, before it sends its message.
    std::atomic<bool> buildFailed_[3] = {false, false, false};
    bool preparationFailed_ = false;
    bool solutionAvailable_ = false;
    bool pausing_ = false;
    bool closed_ = false;
    bool reportShown_ = false;  // the output box holds a solve's report
    bool staleShown_ = false;
    int32_t seconds_ = 0;
    bool stepping_ = false;  // a step's tile is sliding on timerStep
    int speed_ = normalSpeed;
    std::string speedNote_;         // the note now shown, "" when none
    std::string statusBeforeNote_;  // what the note replaced
    int focusBeforeBusy_ = focusBoard;
    std::chrono::steady_clock::time_point solveStart_{};
    SolveResult lastSolve_;
    // What paste and drop read positions against (the menu's toggle).
    Goal pasteGoal_ = Goal::blankLast;

    MemorySettings memorySettings_;
    Settings* settings_ = &memorySettings_;
    int32_t markedMove_ = -1;  // the move marked in the output box, -1 for none

    std::thread solveThread_;
    bool opened_ = false;          // onInit has run
    bool strongerChosen_ = false;  // set before onInit: the kept choice is not read
    std::unique_ptr<StrongerTablesControl> stronger_;  // null: the services offer none
    std::vector<std::string> strongerLines_;           // the last lines shown

    // Show optimal moves: off by default; the one switch of the marks.
    bool marksOn_ = false;
    std::optional<Board> marksBoard_;  // the board analysed or being analysed
    BoardMarks marksShown_;
    std::string marksLine_;  // the output box's line of the marks, "" when none
    Board checkedStart_{};   // where the moves being checked start
    ReviewPlot plot_;
    bool plotShown_ = false;
    // Declared last: destroyed (its thread stopped) before what it reports to.
    AnalysisWorker worker_{platform_, services_, msgAnalysisFinished};
};

}  // namespace fifteen::ui
