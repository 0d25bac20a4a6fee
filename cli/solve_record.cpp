#include "cli/solve_record.h"

#include "cli/result_format.h"
#include "puzzle/solution_replay.h"
#include "search/report.h"

namespace fifteen::cli {

void CapturedOutput::searchStarted() {
    if (showProgress_) progress_.emplace(solver_);
}

// The progress line goes (and is cleared) before the report is printed.
void CapturedOutput::searchEnded(SolveStatus) {
    progress_.reset();
}

namespace {

SolveRecord recordOf(const SolveResult& result, const CapturedOutput& output, const Board& board,
                     std::string origin, std::string input) {
    SolveRecord record;
    record.origin = std::move(origin);
    record.input = std::move(input);
    // The search's own time (frontier and search), as in the report.
    record.ms = result.elapsedMs;
    record.report = withUnixLineEnds(output.outputText);
    record.wd = result.startWd;
    record.pdb = result.startPdb;
    record.threads = result.searchThreads;
    record.maxThreads = result.maxThreads;
    record.nodes = result.nodes;
    record.nodesBelowFinalBound = result.nodesBelowFinalBound;
    record.status = result.status;
    if (record.status == solveSolved) {
        // A late Ctrl-C cannot touch a finished result (Solver::cancel), so the
        // length is the search's.
        record.length = result.length;
        record.moves.assign(result.moves.begin(), result.moves.begin() + record.length);
        replaySolution(board, record.moves, record.directions);
    } else if (record.status == solveInvalid) {
        record.error = "not a position of the puzzle";
    }
    return record;
}

// The record of a solve of boardForSearch(written, goal), told again for the
// position as written: its board in the report, its tile numbers and directions.
void restateForGoal(SolveRecord& record, const Board& written, Goal goal) {
    record.moves = movesForGoal(record.moves, goal);
    replaySolution(written, record.moves, record.directions, goalBoardOf(goal));
    ReportText report;
    appendProblem(report, written);
    if (record.status == solveSolved) {
        appendSolution(report, record.length, record.moves.data(), splitElapsed(record.ms));
    } else {
        report.append(record.status == solveCancelled    ? cancelReport
                      : record.status == solveUnsolvable ? unsolvableReport
                                                         : invalidReport);
    }
    record.report = withUnixLineEnds(report.c_str());
}

}  // namespace

SolveRecord solvePosition(Solver& solver, const Board& board, std::string origin, std::string input,
                          bool showProgress, Goal goal) {
    CapturedOutput output(solver, showProgress);
    const Board searched = boardForSearch(board, goal);
    const SolveResult result = solver.solve(searched, output);
    SolveRecord record = recordOf(result, output, searched, std::move(origin), std::move(input));
    if (goal != Goal::blankLast) restateForGoal(record, board, goal);
    return record;
}

namespace {

// A move of the turned board as the written board sees it (and back): the tile
// relabelled, its way reversed by the half turn.
char turnedDirection(char direction) {
    switch (direction) {
        case 'U':
            return 'D';
        case 'D':
            return 'U';
        case 'L':
            return 'R';
        case 'R':
            return 'L';
        default:
            return direction;
    }
}

}  // namespace

SolveRecord analysePosition(MoveAnalyser& analyser, const Board& board, std::string origin,
                            std::string input, bool showProgress, Goal goal) {
    CapturedOutput output(analyser.solver(), showProgress);
    const Board searched = boardForSearch(board, goal);
    MoveAnalysis analysis = analyser.analyseMoves(searched, &output);
    if (goal != Goal::blankLast) {
        analysis.board = board;
        for (MoveVerdict& v : analysis.moves) {
            v.tile = turnedTile(v.tile);
            v.direction = turnedDirection(v.direction);
        }
    }
    SolveResult result = analysis.solve;
    // Cancelled while it looked for the other optimal moves: the solve stands,
    // the verdicts do not.
    result.status = analysis.status == solveCancelled ? solveCancelled : result.status;
    SolveRecord record = recordOf(result, output, searched, std::move(origin), std::move(input));
    if (goal != Goal::blankLast) restateForGoal(record, board, goal);
    record.analysed = true;
    if (analysis.status == solveSolved) {
        record.analysis.assign(analysis.moves.begin(), analysis.moves.begin() + analysis.moveCount);
        record.analysisText = analysisLine(analysis);
    }
    return record;
}

SolveRecord reviewPosition(MoveAnalyser& analyser, const Board& board,
                           const std::vector<WrittenMove>& moves, std::string origin,
                           std::string input, bool showProgress, Goal goal) {
    CapturedOutput output(analyser.solver(), showProgress);
    const Board searched = boardForSearch(board, goal);
    std::vector<WrittenMove> searchedMoves = moves;
    if (goal != Goal::blankLast) {
        for (WrittenMove& m : searchedMoves) {
            m.tile = turnedTile(m.tile);
            m.direction = turnedDirection(m.direction);
        }
    }
    MoveReview review = analyser.reviewMoves(searched, searchedMoves, &output);
    SolveRecord record =
        recordOf(review.solve, output, searched, std::move(origin), std::move(input));
    if (goal != Goal::blankLast) {
        restateForGoal(record, board, goal);
        review.start = board;
        for (int32_t& tile : review.tiles) tile = turnedTile(tile);
    }
    record.reviewed = true;
    record.review = review;
    if (review.status == solveCancelled) record.status = solveCancelled;
    if (review.illegalIndex >= 0) {
        const WrittenMove m = moves[static_cast<std::size_t>(review.illegalIndex)];
        std::string named = std::to_string(m.tile);
        if (m.tile == 0) named.assign(1, m.direction);
        record.reviewError = "move " + std::to_string(review.illegalIndex + 1) + " (" + named +
                             ") is not a legal move there";
    }
    return record;
}

}  // namespace fifteen::cli
