#pragma once

// Start-up of the main dialog: its caption, the placement of the board, and the
// services of the solver it starts and stops (the table builds and the solve job).

#include <cstdint>
#include <functional>
#include <string>

#include "puzzle/board.h"
#include "search/preparation.h"
#include "search/solve_job.h"
#include "ui/platform.h"

namespace fifteen::ui {

// Runs on a table's build thread when its build has ended; built is false when
// the build failed (a block it needed could not be allocated).
using TableCallback = std::function<void(PreparedTable table, bool built)>;

// What the dialog needs of the solver besides the solver record. The program's
// implementation runs the real builds and the real solve job; tests substitute
// their own to send the readiness messages themselves or to fake a solve.
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
    // The worker limit of the parallel runtime, for the solver record.
    virtual int32_t maxThreads() = 0;
    // The body of the solve thread.
    virtual void solve(const Board& shownBoard, SolveOutput& output) = 0;
};

class ProgramServices final : public SolverServices {
  public:
    bool startPreparation(TableCallback onDone) override;
    void joinPreparation() override;
    void releaseTables() override;
    int32_t maxThreads() override;
    void solve(const Board& shownBoard, SolveOutput& output) override;

  private:
    Preparation preparation_;
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
