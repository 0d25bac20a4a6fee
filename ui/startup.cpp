#include "ui/startup.h"

#include <omp.h>

#include "fifteen/version.h"
#include "search/solver_state.h"
#include "ui/board_view.h"
#include "ui/dialog_ids.h"

namespace fifteen::ui {

ProgramServices::ProgramServices(ParallelDesign design)
    : solver_(SolveOptions{omp_get_max_threads(), design}), active_(&solver_) {}

ProgramServices::~ProgramServices() = default;

void ProgramServices::useTables(const TableSet* tables) {
    if (tables != nullptr && !strongerSolver_) {
        strongerSolver_ = std::make_unique<Solver>(solverState, *tables, solver_.options());
    }
    active_.store(tables != nullptr ? strongerSolver_.get() : &solver_, std::memory_order_release);
}

bool ProgramServices::startPreparation(TableCallback onDone) {
    return preparation_.start([this, onDone = std::move(onDone)](PreparedTable table) {
        onDone(table, preparation_.succeeded(table));
    });
}

void ProgramServices::joinPreparation() {
    preparation_.requestStop();
    preparation_.join();
}

void ProgramServices::releaseTables() {
    releasePatternDbs();
}

void ProgramServices::solve(const Board& shownBoard, SolveOutput& output) {
    // The result reaches output's solveFinished.
    active_.load(std::memory_order_acquire)->solve(shownBoard, output);
}

BoardPlacement placeBoard(Rect window, Rect client, Point clientOrigin, Rect outputBox,
                          Rect problemGroup, Rect separator) {
    const int border = (window.width() - client.width()) / 2;
    const int centreX = (window.left + border + outputBox.left) / 2 - clientOrigin.x;
    const int centreY = (problemGroup.bottom + separator.top) / 2 - clientOrigin.y;
    const int left = centreX - boardPixels / 2;
    const int top = centreY - boardPixels / 2;
    const Rect board{left, top, left + boardPixels, top + boardPixels};
    const Point clipOffset{clientOrigin.x + left - window.left + dragClipInset,
                           clientOrigin.y + top - window.top + dragClipInset};
    return BoardPlacement{board, clipOffset};
}

BoardPlacement placeBoard(const Platform& platform) {
    return placeBoard(platform.windowRect(), platform.clientRect(),
                      platform.clientToScreen(Point{0, 0}), platform.controlRect(idOutput),
                      platform.controlRect(idProblemGroup), platform.controlRect(idSeparator));
}

std::string dialogCaption() {
    return std::string("fifteen ") + versionString + " - optimal 15-puzzle solver";
}

}  // namespace fifteen::ui
