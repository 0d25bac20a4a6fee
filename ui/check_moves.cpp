// Check my moves: the user's move sequence from the shown position, reviewed in
// the background, then replayed on the board as a solution beside its plot.

#include <algorithm>
#include <cstddef>

#include "puzzle/moves.h"
#include "search/solver_state.h"
#include "ui/check_moves.h"
#include "ui/dialog_actions.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

namespace {

int32_t blankOf(const Board& board) {
    return static_cast<int32_t>(std::find(board.begin(), board.end(), 0) - board.begin());
}

std::string writtenName(const WrittenMove& move) {
    return move.tile != 0 ? std::to_string(move.tile) : std::string(1, move.direction);
}

}  // namespace

std::optional<std::vector<int32_t>> playWrittenMoves(const Board& start,
                                                     const std::vector<WrittenMove>& moves,
                                                     std::string& error, int32_t* illegal) {
    if (illegal != nullptr) *illegal = -1;
    if (moves.empty()) {
        error = "no moves";
        return std::nullopt;
    }
    if (moves.size() > static_cast<std::size_t>(solutionCapacity)) {
        error = "at most " + std::to_string(solutionCapacity) + " moves";
        return std::nullopt;
    }
    Board board = start;
    std::vector<int32_t> tiles;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const int32_t blank = blankOf(board);
        const int32_t cell = moveCell(board, blank, moves[i]);
        if (cell < 0) {
            error = "move " + std::to_string(i + 1) + " (" + writtenName(moves[i]) +
                    ") is not a legal move there";
            if (illegal != nullptr) *illegal = static_cast<int32_t>(i);
            return std::nullopt;
        }
        tiles.push_back(board[static_cast<std::size_t>(cell)]);
        std::swap(board[static_cast<std::size_t>(cell)], board[static_cast<std::size_t>(blank)]);
    }
    return tiles;
}

bool ReviewController::ask(const Board& start) {
    // The clipboard's moves are offered when it holds some.
    std::string offered = platform_.clipboardText();
    if (!parseMoves(offered).ok) offered.clear();
    if (const size_t end = offered.find_first_of("\r\n"); end != std::string::npos)
        offered.resize(end);
    TextRequest request{checkMovesTitle, checkMovesLabel, offered, 0, 0};
    for (;;) {
        const std::optional<std::string> text = platform_.askText(request);
        if (!text) return false;
        const ParsedMoves parsed = parseMoves(*text);
        std::string error = parsed.error;
        int32_t illegal = -1;
        if (parsed.ok && playWrittenMoves(start, parsed.moves, error, &illegal)) {
            pending_ = Pending{start, start, false};
            worker_.review(start, parsed.moves);
            status_.set(checkingMovesStatus);
            return true;
        }
        std::string message = checkMovesPrefix;
        message += error;
        status_.set(message);
        output_.setNote(message.substr(message.find_first_not_of(' ')));
        // Asked again with what was typed, the faulty move selected (all of it
        // when the text could not be read), and what is wrong with it.
        request.initial = *text;
        request.label = std::string(checkMovesLabel) + "\n" + message.substr(1);
        const bool oneMove = illegal >= 0 && static_cast<size_t>(illegal) < parsed.moves.size();
        request.selectBegin = oneMove ? parsed.moves[static_cast<size_t>(illegal)].begin : 0;
        request.selectEnd = oneMove ? parsed.moves[static_cast<size_t>(illegal)].end
                                    : static_cast<int>(text->size());
    }
}

void ReviewController::reviewPlay(const Board& start, const std::vector<int32_t>& tiles) {
    std::vector<WrittenMove> moves;
    Board end = start;
    for (const int32_t tile : tiles) {
        moves.push_back(WrittenMove{tile, 0});
        slideTile(end, tile);
    }
    pending_ = Pending{start, end, true};
    worker_.review(start, std::move(moves));
}

std::optional<SolveResult> ReviewController::accept(const MoveReview& review, bool busy,
                                                    const Board& settled) {
    if (status_.text() == checkingMovesStatus) status_.set("");
    // Moves of another position: the board changed while they were checked.
    if (busy || review.start != pending_.start || settled != pending_.shownAt) return std::nullopt;
    if (review.status == solveUnsolvable) {
        status_.set(std::string(checkMovesPrefix) + checkUnsolvableText);
        return std::nullopt;
    }
    if (review.status != solveSolved || review.tiles.empty()) return std::nullopt;
    if (review.tiles.size() > static_cast<size_t>(solutionCapacity)) {
        // Longer than any solution the board can step through: its text alone,
        // which belongs to no solution shown, so nothing can make it stale.
        showText(review);
        output_.setReportShown(false);
        return std::nullopt;
    }
    SolveResult result;
    result.problem = review.start;
    result.status = solveSolved;
    result.length = static_cast<int32_t>(review.tiles.size());
    std::copy(review.tiles.begin(), review.tiles.end(), result.moves.begin());
    return result;
}

void ReviewController::showText(const MoveReview& review) {
    plot_ = reviewPlot(review);
    std::string text = std::string(pending_.play ? playedHeading : checkedMovesHeading) +
                       plot_.summary + "\r\nDistances:";
    for (const int32_t d : plot_.distances) {
        text += ' ';
        text += std::to_string(d);
    }
    text += "\r\n";
    output_.setText(text);
    output_.setReportShown(true);
}

void ReviewController::show(const MoveReview& review) {
    showText(review);
    plotShown_ = true;
    platform_.showReviewPlot(&plot_);
    // A play's status line says it reached the goal.
    if (!pending_.play) status_.set(movesText(0, static_cast<int32_t>(review.tiles.size())));
}

void ReviewController::sync(const Board& settled, bool solutionShown) {
    // Moves being checked from a position the board has left are of no use now.
    if (worker_.pending() == AnalysisWorker::Kind::review && settled != pending_.shownAt) {
        worker_.cancel();
    }
    if (!plotShown_ || solutionShown) return;
    plotShown_ = false;
    platform_.showReviewPlot(nullptr);
}

}  // namespace fifteen::ui
