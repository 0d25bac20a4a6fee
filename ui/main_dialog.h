#pragma once

// The program's only window: it wires the parts that each do one job (the board
// view, the playback, the solve session, the marks, the review, the stronger
// tables) and owns what they share: the state, the modes' buttons, the commands,
// the keys and the menu. Written against the platform layer only; every call
// arrives on the GUI thread.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/preparation.h"
#include "search/solver.h"
#include "ui/analysis_worker.h"
#include "ui/board_view.h"
#include "ui/check_moves.h"
#include "ui/dialog_actions.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_state.h"
#include "ui/move_marks.h"
#include "ui/output_model.h"
#include "ui/platform.h"
#include "ui/play.h"
#include "ui/playback.h"
#include "ui/review_plot.h"
#include "ui/settings.h"
#include "ui/solve_session.h"
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
    DialogState state() const { return state_; }
    UiMode mode() const { return modeOf(state_); }
    const BoardView& view() const { return view_; }
    const Playback& playback() const { return playback_; }
    bool solutionAvailable() const { return session_.solutionAvailable(); }
    bool isReady(PreparedTable table) const { return tables_.isReady(table); }
    bool allReady() const { return tables_.allReady(); }
    bool preparationFailed() const { return tables_.failed(); }
    int32_t seconds() const { return session_.seconds(); }
    bool pausing() const { return state_ == DialogState::pausing; }
    bool reportStale() const { return output_.stale(); }
    bool stepping() const { return state_ == DialogState::stepping; }
    int speed() const { return speed_; }  // index into playbackSpeeds
    // The last solve's result, except that an unsolvable or invalid board keeps
    // the length and moves of the solve before it.
    const SolveResult& lastSolve() const { return session_.lastSolve(); }
    // Show optimal moves, on or off (the menu's toggle).
    bool marksOn() const { return marks_.on(); }
    void setMarksOn(bool on);
    const BoardMarks& marks() const { return marks_.shown(); }
    bool plotShown() const { return review_.plotShown(); }
    const ReviewPlot& plot() const { return review_.plot(); }
    // What the output box shows, as the dialog wrote it.
    const OutputBox& output() const { return output_; }
    // The user's own play, and the history Undo and Redo walk.
    const Play& play() const { return play_; }
    const BoardHistory& history() const { return history_; }

  private:
    MainDialog(Platform& platform, std::unique_ptr<SolverServices> owned);

    void setMode(UiMode mode);
    bool busy() const { return isBusy(state_); }

    // The buttons (main_dialog.cpp).
    void shuffle();
    void backward();
    void directDrag();
    void reset();
    void solve();
    void cancel();
    void trace();
    void traceTick();
    void endPause();
    void finishSolve();
    void stopThreads();

    // The tables (dialog_tables.cpp): the three of every solve and the stronger set.
    void startTables();
    void onTableReady(PreparedTable table);
    void showPreparationProgress();
    void showPreparationFailure();
    void onStrongerTablesLine(const std::string& line);
    void onStrongerTablesDone();
    void onStrongerTablesProgress(const TablesProgress& progress);
    void showStrongerTablesLines(std::vector<std::string> lines);
    void restoreSettings();

    // The added tools (dialog_actions.cpp, dialog_steps.cpp).
    bool beginUserAction();
    void endDrag();
    void finishStep();
    bool canStep() const;
    int32_t solutionLength() const { return session_.lastSolve().length; }
    void paste(std::string_view text);
    void copyPosition();
    void copySolution();
    void step(bool forward, bool animate);
    void stepTick();
    void jumpTo(int32_t position);
    void changeSpeed(int delta);
    void endSpeedNote();
    bool arrowKey(Key key, bool autoRepeat);
    void showHelp();
    void showAbout();

    // Play, Undo and Redo (dialog_play.cpp).
    bool canPlay() const;
    bool playCell(int cell);
    void playedMove(const Board& before, int32_t tile);
    void showPlay();
    void finishPlay();
    // Before a command replaces the board: the board it had, for Undo.
    void recordBoard();
    BoardHistory::Entry currentEntry() const;
    void undo();
    void redo();
    void showHistoryEntry(const BoardHistory::Entry& entry);
    // A lifted tile's board, kept until it is dropped: a swap is recorded.
    std::optional<Board> dragFrom_;

    // What follows the board after anything that may have changed it or the mode:
    // the report's stale mark, the marked move, the plot and the optimal moves.
    void followBoard();
    void clearBoardNote();
    void updateStaleMark();
    void updateMoveMark();
    bool isStepOfReport(const Board& board) const;
    void syncPlotAndMarks();
    bool marksCanShow() const;
    void showMarksWork();
    void marksWorkTick();
    std::optional<Play::Clock::time_point> marksAsked_;  // the marks' work began
    void checkMoves();
    void onAnalysis(const AnalysisWorker::Result& result);

    Platform& platform_;
    std::unique_ptr<SolverServices> ownServices_;
    SolverServices& services_;
    OutputBox output_;
    StatusLine status_;
    BoardView view_;
    Playback playback_;
    SolveSession session_;

    DialogState state_ = DialogState::opening;
    TablesReadiness tables_;
    int speed_ = normalSpeed;
    std::string speedNote_;         // the note now shown, "" when none
    std::string statusBeforeNote_;  // what the note replaced
    int focusBeforeBusy_ = focusBoard;
    // What paste and drop read positions against (the menu's toggle).
    Goal pasteGoal_ = Goal::blankLast;

    MemorySettings memorySettings_;
    Settings* settings_ = &memorySettings_;

    Play play_;
    BoardHistory history_;
    std::string boardNote_;  // over the board now, "" when none

    std::unique_ptr<StrongerTablesControl> stronger_;  // null: the services offer none
    std::vector<std::string> strongerLines_;           // the last lines shown
    bool strongerProgressLast_ = false;  // the last line is the build's, rewritten in place
    std::optional<Play::Clock::time_point> buildStarted_;  // the build's first progress

    // Declared after what it reports to, so that it is destroyed (its thread
    // stopped) first; the two controllers ask it for their work.
    AnalysisWorker worker_;
    MarksController marks_;
    ReviewController review_;
};

}  // namespace fifteen::ui
