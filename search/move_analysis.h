#pragma once

// What the solver teaches beside a solve: which moves of a position keep the
// solution optimal, and the optimal distance after each move of a sequence.
//
// Both rest on one fact: a move flips the parity of the blank's cell, so it
// changes the optimal length by exactly one. Knowing a position's length L, a
// move is optimal exactly when a solution of L - 1 moves exists after it (one
// bounded iteration answers), and costs two moves otherwise (L + 1).

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/move_text.h"
#include "search/shared_deepening.h"
#include "search/solve_output.h"
#include "search/solver.h"

namespace fifteen {

class TableSet;

// A legal move and the optimal length of the position after it.
struct MoveVerdict {
    int32_t tile = 0;
    char direction = 0;  // 'U', 'D', 'L' or 'R': the way the tile slides
    int32_t lengthAfter = 0;
    bool optimal = false;  // lengthAfter == length - 1
};

struct MoveAnalysis {
    Board board{};
    // solveSolved (every verdict known), solveUnsolvable, solveInvalid or
    // solveCancelled; verdicts only when solved.
    SolveStatus status = solveInvalid;
    int32_t length = 0;     // optimal length of board
    int32_t moveCount = 0;  // legal moves (2..4) when solved, else 0
    // In the order of the blank's neighbours (up, right, down, left).
    std::array<MoveVerdict, 4> moves{};
    SolveResult solve;   // the solve that gave the length: a shortest solution
    uint64_t nodes = 0;  // of the solve and every bounded iteration
};

struct MoveReview {
    Board start{};
    // solveSolved: a distance after every legal move; solveUnsolvable: none
    // (the start is unsolvable, the moves were still checked); solveInvalid: the
    // start is no board; solveCancelled: the distances found before Cancel.
    SolveStatus status = solveInvalid;
    int32_t startLength = 0;
    std::vector<int32_t> tiles;      // the legal moves, as tiles
    std::vector<int32_t> distances;  // the optimal length after each of them
    int32_t illegalIndex = -1;       // index of the first illegal move, -1 if none
    SolveResult solve;               // the solve of start
    uint64_t nodes = 0;
};

// Indices (0-based) of the moves after which the distance rose: each lost 2.
std::vector<int32_t> lostMoves(const MoveReview& review);

// "12 (left), 7 (up)": the moves whose verdict is optimal (or, with optimal
// false, those that cost 2); "none" when there are none.
std::string movesNamed(const MoveAnalysis& analysis, bool optimal);
// "Optimal moves: 12 (left), 7 (up); +2: 3 (down); 54 moves to go", of a
// solved analysis (the front ends' one line).
std::string analysisLine(const MoveAnalysis& analysis);
// "64 moves, 12 more than the optimal 52: moves 7, 19, 33, 40, 51, 58 each lost
// 2", or where the moves did not reach the goal "30 moves, ended 22 from the
// goal (optimal 50): ...", of a review with distances; moves counted from 1.
std::string reviewSummary(const MoveReview& review);

// Progress of a running analysis or review, for display: step of steps (an
// analysis: the solve, then the search for the other optimal moves; a review:
// the solve of the start, then a step a move), and the running search's bound
// and nodes.
struct AnalysisProgress {
    int32_t step = 0;
    int32_t steps = 0;
    SearchProgress search{};
};

// Analyses and reviews in a record of its own, beside the program's solve, over
// prepared tables (complete when a call starts). One call at a time; cancel,
// clearCancel and progress from any thread, as on a Solver: a Cancel made before
// a call's first search is kept until it begins, and ends every later search of
// that call.
class MoveAnalyser {
  public:
    explicit MoveAnalyser(SolveOptions options = {});  // the default table set
    MoveAnalyser(const TableSet& tables, SolveOptions options);
    ~MoveAnalyser();
    MoveAnalyser(const MoveAnalyser&) = delete;
    MoveAnalyser& operator=(const MoveAnalyser&) = delete;

    void setOptions(const SolveOptions& options);

    // The optimal length of board and the verdict of each legal move. The solve
    // that gives the length writes its texts to output, as a Solver's would.
    MoveAnalysis analyseMoves(const Board& board, SolveOutput* output = nullptr);
    // The moves played in turn from start, up to the first illegal one; the
    // solve of start writes to output.
    MoveReview reviewMoves(const Board& start, const std::vector<WrittenMove>& moves,
                           SolveOutput* output = nullptr);

    void cancel();
    void clearCancel();
    AnalysisProgress progress() const;
    // The solver over the analyser's record: for a watcher that cancels it, or an
    // output that shows its progress.
    Solver& solver() { return solver_; }

  private:
    // Whether a solution of at most bound moves exists from board, whose last
    // move came from cell prevBlank; cancelled when Cancel stopped it. On found,
    // path receives the moves.
    BoundedSearch solvesWithin(const Board& board, int32_t prevBlank, int32_t bound,
                               std::vector<int32_t>* path);
    // The solve of board into result, and the first moves (bits by the blank's
    // neighbours) that begin a shortest solution.
    uint32_t solveWithFirstMoves(const Board& board, SolveResult& result, SolveOutput& output);
    // The same for a solve answered within the first levels: a bounded search
    // of each move but the solve's first.
    uint32_t firstMovesByNeighbour(const Board& board, SolveResult& result);
    void beginStep(int32_t step, int32_t steps);

    std::unique_ptr<SolverState> state_;
    const TableSet& tables_;
    Solver solver_;
    // Written by the calling thread, read by progress() on any: relaxed, as the
    // values are only shown.
    std::atomic<int32_t> step_{0};
    std::atomic<int32_t> steps_{0};
    uint64_t nodes_ = 0;
};

}  // namespace fifteen
