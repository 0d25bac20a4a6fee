#pragma once

// Start-up of the main dialog: its caption, the placement of the board, and the
// services of the solver it starts and stops (the table builds and the solve job).

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/move_text.h"
#include "search/move_analysis.h"
#include "search/preparation.h"
#include "search/solver.h"
#include "ui/platform.h"
#include "ui/stronger_tables_control.h"

namespace fifteen::ui {

// Runs on a table's build thread when its build has ended; built is false when
// the build failed (a block it needed could not be allocated).
using TableCallback = std::function<void(PreparedTable table, bool built)>;

// What the dialog needs of the solver. The program's implementation runs the real
// builds and solves through a Solver; tests substitute their own to send the
// readiness messages themselves or to fake a solve.
class SolverServices {
  public:
    virtual ~SolverServices() = default;
    // Allocates the tables and starts their three build threads; onDone runs on
    // each build thread once its build has ended. False, with nothing started,
    // when the tables could not be allocated or a thread could not be started.
    virtual bool startPreparation(TableCallback onDone) = 0;
    // Called when the dialog closes: ends the builds still running (at their next
    // layer, reported as failed) and waits until every build thread has ended.
    virtual void joinPreparation() = 0;
    // Frees the tables. Called only when no thread uses them any more.
    virtual void releaseTables() = 0;
    // The body of the solve thread; its last call to output is solveFinished.
    virtual void solve(const Board& shownBoard, SolveOutput& output) = 0;
    // Any thread, as Solver's: a request made before the search begins is kept
    // until it begins; clearCancel forgets it before the next solve starts.
    // Services whose solve never runs need not override these.
    virtual void cancelSolve() {}
    virtual void clearCancel() {}
    // The running search's bound and nodes, for the progress line (any thread).
    virtual SearchProgress progress() const { return SearchProgress{0, 0}; }

    // Analyses and reviews beside the solve, in a record of their own, once the
    // tables are complete; one call at a time. cancelAnalysis from any thread: a
    // request is kept until clearAnalysisCancel. Services without them answer
    // solveInvalid.
    virtual MoveAnalysis analyseMoves(const Board& board) {
        MoveAnalysis analysis;
        analysis.board = board;
        return analysis;
    }
    virtual MoveReview reviewMoves(const Board& start, const std::vector<WrittenMove>& moves) {
        (void)moves;
        MoveReview review;
        review.start = start;
        return review;
    }
    virtual void cancelAnalysis() {}
    virtual void clearAnalysisCancel() {}
    // Where the "Stronger tables" come from; null: the menu offers them disabled.
    virtual StrongerTablesSource* strongerTables() { return nullptr; }
    // GUI thread: the table set of the solves started from now on (a solve
    // running goes on with its own); null: the default set. The set stays valid
    // while the services live.
    virtual void useTables(const TableSet* tables) { static_cast<void>(tables); }
};

// The program's tables and solver; its solves use the parallel runtime's thread
// limit.
class ProgramServices final : public SolverServices {
  public:
    explicit ProgramServices(ParallelDesign design = ParallelDesign::shared);
    ~ProgramServices() override;

    bool startPreparation(TableCallback onDone) override;
    void joinPreparation() override;
    void releaseTables() override;
    void solve(const Board& shownBoard, SolveOutput& output) override;
    void cancelSolve() override { solver_.cancel(); }
    void clearCancel() override { solver_.clearCancel(); }
    SearchProgress progress() const override { return solver_.progress(); }
    const SolveOptions& solveOptions() const { return solver_.options(); }
    StrongerTablesSource* strongerTables() override { return &strongerTables_; }
    void useTables(const TableSet* tables) override;

    MoveAnalysis analyseMoves(const Board& board) override;
    MoveReview reviewMoves(const Board& start, const std::vector<WrittenMove>& moves) override;
    void cancelAnalysis() override;
    void clearAnalysisCancel() override;

  private:
    // Made on first use: its record is megabytes, which a dialog that never
    // analyses does not need.
    MoveAnalyser& analyser();

    Preparation preparation_;
    Solver solver_;
    // Guards the analysers' pointers and analysisTables_; each analyser guards
    // itself. The analyses follow the solves' table set (useTables).
    std::mutex analyserMutex_;
    std::unique_ptr<MoveAnalyser> analyser_;          // over the default set
    std::unique_ptr<MoveAnalyser> strongerAnalyser_;  // over the first stronger set given
    const TableSet* analysisTables_ = nullptr;        // null: the default set
    ProgramStrongerTables strongerTables_;
    // Over the same record as solver_ (so cancel and progress are shared), made
    // for the first stronger set given and kept while the services live.
    std::unique_ptr<Solver> strongerSolver_;
    // The solver of the next solve: set on the GUI thread, read by the solve
    // thread as it starts; acquire/release publishes the solver it names.
    std::atomic<Solver*> active_;
};

// The board rectangle in client coordinates and, for the drag clip square, the
// board's offset inside the window rectangle plus the clip inset.
struct BoardPlacement {
    Rect board;
    Point clipOffset;
};

// The board is centred horizontally between the client area's left edge and the
// output box, vertically between the "Problem" group box and the separator line.
// All rectangles are in screen coordinates except client; clientOrigin is the
// client area's top-left corner on the screen.
BoardPlacement placeBoard(Rect window, Rect client, Point clientOrigin, Rect outputBox,
                          Rect problemGroup, Rect separator);
BoardPlacement placeBoard(const Platform& platform);

std::string dialogCaption();

}  // namespace fifteen::ui
