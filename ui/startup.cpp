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
    std::lock_guard lock(analyserMutex_);
    analysisTables_ = tables;
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

MoveAnalyser& ProgramServices::analyser() {
    std::lock_guard lock(analyserMutex_);
    if (analysisTables_ != nullptr) {
        if (!strongerAnalyser_) {
            strongerAnalyser_ = std::make_unique<MoveAnalyser>(*analysisTables_, solver_.options());
        }
        return *strongerAnalyser_;
    }
    if (!analyser_) analyser_ = std::make_unique<MoveAnalyser>(solver_.options());
    return *analyser_;
}

MoveAnalysis ProgramServices::analyseMoves(const Board& board) {
    return analyser().analyseMoves(board);
}

MoveReview ProgramServices::reviewMoves(const Board& start, const std::vector<WrittenMove>& moves) {
    return analyser().reviewMoves(start, moves);
}

// Both analysers: the set may have changed since the analysis started.
void ProgramServices::cancelAnalysis() {
    analyser().cancel();
    std::lock_guard lock(analyserMutex_);
    for (MoveAnalyser* each : {analyser_.get(), strongerAnalyser_.get()}) {
        if (each != nullptr) each->cancel();
    }
}

void ProgramServices::clearAnalysisCancel() {
    analyser().clearCancel();
    std::lock_guard lock(analyserMutex_);
    for (MoveAnalyser* each : {analyser_.get(), strongerAnalyser_.get()}) {
        if (each != nullptr) each->clearCancel();
    }
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
