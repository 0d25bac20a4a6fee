#pragma once

// Shared pieces of the dialog tests: solver services the tests control, a
// breadth-first oracle for short solutions, and a dialog on the headless host.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "puzzle/board.h"
#include "search/solver.h"
#include "tests/support/walks.h"
#include "tests/ui/headless_platform.h"
#include "ui/main_dialog.h"
#include "ui/startup.h"

namespace fifteen::ui::testing {

// Optimal solution (tiles to slide) by breadth-first search; nullopt when the
// board is unsolvable or further than maxDepth moves from the goal.
std::optional<std::vector<int32_t>> shortestSolution(const Board& board, int maxDepth = 12);

// Plays tiles on board; nullopt when a tile is not next to the blank.
using test_support::replay;

// A solve over the oracle that reports as the program's solver does: problem,
// playback position, flag, and the result in the completion message.
void oracleSolve(const Board& board, SolveOutput& output);

class FakeServices final : public SolverServices {
  public:
    ~FakeServices() override { joinPreparation(); }

    bool startPreparation(TableCallback onDone) override;
    void joinPreparation() override;
    void releaseTables() override;
    void solve(const Board& shownBoard, SolveOutput& output) override;
    // A request is kept until clearCancel, as the solver keeps one made before its
    // search begins.
    void cancelSolve() override { cancelRequested = true; }
    void clearCancel() override { cancelRequested = false; }
    SearchProgress progress() const override {
        return {progressBound.load(), progressNodes.load()};
    }
    StrongerTablesSource* strongerTables() override { return strongerSource; }
    void useTables(const TableSet* tables) override { usedTables = tables; }

    // Analyses and reviews over the oracle. While analysisGate is closed an
    // analysis waits for it (or, unless ignoreCancel, for a cancel request), so a
    // test can change the board under a running one.
    MoveAnalysis analyseMoves(const Board& board) override;
    MoveReview reviewMoves(const Board& start, const std::vector<WrittenMove>& moves) override;
    void cancelAnalysis() override { analysisCancel = true; }
    void clearAnalysisCancel() override { analysisCancel = false; }
    std::atomic<bool> analysisGate{true};
    std::atomic<bool> ignoreCancel{false};
    std::atomic<bool> analysisCancel{false};
    std::atomic<int> analysesStarted{0};
    std::atomic<int> reviewsStarted{0};

    // A solve that runs until the cancel request, then reports "Cancel".
    void solveUntilCancelled(const Board& board, SolveOutput& output);
    std::function<void(const Board&, SolveOutput&)> untilCancelled() {
        return
            [this](const Board& board, SolveOutput& output) { solveUntilCancelled(board, output); };
    }

    // Hands a table's completion to the dialog from a build thread of its own, as
    // the real builds do (the thread waits until the dialog has handled it).
    void finishFromThread(PreparedTable table, bool built = true);

    bool allocationSucceeds = true;
    std::function<void(const Board&, SolveOutput&)> job = oracleSolve;
    TableCallback onDone;
    int startCount = 0;
    int joinCount = 0;
    int releaseCount = 0;
    bool solveRunningAtRelease = false;
    bool buildersRunningAtRelease = false;
    std::atomic<bool> solveRunning{false};
    std::atomic<int> buildersRunning{0};
    std::atomic<bool> cancelRequested{false};
    // What progress() reports; a fake solve sets it.
    std::atomic<int32_t> progressBound{0};
    std::atomic<uint64_t> progressNodes{0};
    // Set before the dialog is made; usedTables: the set of the next solve.
    StrongerTablesSource* strongerSource = nullptr;
    const TableSet* usedTables = nullptr;

  private:
    std::vector<std::thread> builders_;
};

// Ends the test binary if the guarded block hangs, naming it, instead of letting
// the suite wait for its timeout.
class DeadlockGuard {
  public:
    explicit DeadlockGuard(const char* what);
    ~DeadlockGuard();
    DeadlockGuard(const DeadlockGuard&) = delete;
    DeadlockGuard& operator=(const DeadlockGuard&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

// The client point at the centre of a board cell.
Point cellCentre(const MainDialog& dialog, int cell);
void dragCell(HeadlessPlatform& host, const MainDialog& dialog, int fromCell, int toCell);
// Drags tiles on the shown board (mode 2) until it equals target.
void arrangeByDrags(HeadlessPlatform& host, const MainDialog& dialog, const Board& target);

// A dialog over fake services on the headless host, opened.
struct DialogRig {
    DialogRig();
    // The three readiness messages, delivered on the GUI thread.
    void makeReady();
    // Clicks the board cell (board-relative centre) with button down and up.
    void clickCell(int cell);
    void drag(int fromCell, int toCell);
    Point cellCentre(int cell) const;
    // Solve and wait until the completion message has been handled.
    void solveAndWait();
    // Backward, then a click on each cell in turn (mode 1 afterwards).
    void backwardClicks(const std::vector<int>& cells);
    std::string buttons() const;  // "SBDRXCT", '-' where disabled

    HeadlessPlatform host;
    FakeServices services;
    MainDialog dialog{host, services};
};

}  // namespace fifteen::ui::testing
