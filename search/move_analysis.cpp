#include "search/move_analysis.h"

#include <cstddef>
#include <unordered_map>

#include "puzzle/moves.h"
#include "search/frontier.h"
#include "search/parallel_search.h"
#include "search/solve_job.h"
#include "search/table_set.h"

namespace fifteen {

namespace {

// Items a thread of a bounded iteration: enough that one large item rarely
// leaves the other threads idle, few enough that the frontier and its lookups
// stay a small part of a review's many short searches (the review benchmark).
constexpr int32_t boundedLayerTarget = 64;

}  // namespace

std::vector<int32_t> lostMoves(const MoveReview& review) {
    std::vector<int32_t> lost;
    int32_t before = review.startLength;
    for (std::size_t i = 0; i < review.distances.size(); ++i) {
        if (review.distances[i] > before) lost.push_back(static_cast<int32_t>(i));
        before = review.distances[i];
    }
    return lost;
}

namespace {

const char* directionWord(char direction) {
    switch (direction) {
        case 'U':
            return "up";
        case 'D':
            return "down";
        case 'L':
            return "left";
        default:
            return "right";
    }
}

}  // namespace

std::string movesNamed(const MoveAnalysis& analysis, bool optimal) {
    std::string text;
    for (int32_t k = 0; k < analysis.moveCount; ++k) {
        const MoveVerdict& v = analysis.moves[static_cast<std::size_t>(k)];
        if (v.optimal != optimal) continue;
        if (!text.empty()) text += ", ";
        text += std::to_string(v.tile) + " (" + directionWord(v.direction) + ")";
    }
    return text.empty() ? "none" : text;
}

std::string analysisLine(const MoveAnalysis& analysis) {
    return "Optimal moves: " + movesNamed(analysis, true) + "; +2: " + movesNamed(analysis, false) +
           "; " + std::to_string(analysis.length) + (analysis.length == 1 ? " move" : " moves") +
           " to go";
}

std::string reviewSummary(const MoveReview& review) {
    const auto count = static_cast<int32_t>(review.distances.size());
    const int32_t ended = count == 0 ? review.startLength : review.distances.back();
    std::string text = std::to_string(count) + (count == 1 ? " move" : " moves");
    if (ended == 0 && count == review.startLength) {
        text += ", optimal";
    } else if (ended == 0) {
        text += ", " + std::to_string(count - review.startLength) + " more than the optimal " +
                std::to_string(review.startLength);
    } else {
        text += ", ended " + std::to_string(ended) + " from the goal (optimal " +
                std::to_string(review.startLength) + ")";
    }
    const std::vector<int32_t> lost = lostMoves(review);
    if (!lost.empty()) {
        text += lost.size() == 1 ? ": move " : ": moves ";
        for (std::size_t i = 0; i < lost.size(); ++i) {
            text += (i == 0 ? "" : ", ") + std::to_string(lost[i] + 1);
        }
        text += lost.size() == 1 ? " lost 2" : " each lost 2";
    }
    return text;
}

MoveAnalyser::MoveAnalyser(SolveOptions options) : MoveAnalyser(defaultTableSet(), options) {}

MoveAnalyser::MoveAnalyser(const TableSet& tables, SolveOptions options)
    : state_(std::make_unique<SolverState>()), tables_(tables), solver_(*state_, tables, options) {}

MoveAnalyser::~MoveAnalyser() = default;

void MoveAnalyser::setOptions(const SolveOptions& options) {
    solver_.setOptions(options);
}

void MoveAnalyser::cancel() {
    solver_.cancel();
}

void MoveAnalyser::clearCancel() {
    solver_.clearCancel();
}

AnalysisProgress MoveAnalyser::progress() const {
    return {step_.load(std::memory_order_relaxed), steps_.load(std::memory_order_relaxed),
            solver_.progress()};
}

void MoveAnalyser::beginStep(int32_t step, int32_t steps) {
    steps_.store(steps, std::memory_order_relaxed);
    step_.store(step, std::memory_order_relaxed);
}

BoundedSearch MoveAnalyser::solvesWithin(const Board& board, int32_t prevBlank, int32_t bound,
                                         std::vector<int32_t>* path) {
    SolverState& state = *state_;
    state.problem = board;
    state.maxThreads = solver_.options().maxThreads;
    state.nodes = 0;
    const SolveStatus status =
        buildSharedFrontier(state, tables_, prevBlank, boundedLayerTarget * state.maxThreads);
    // A request between two searches is kept, not applied: answer it here when
    // the frontier alone has answered, as no search phase will see it.
    if (solver_.cancelRequested()) return BoundedSearch::cancelled;
    BoundedSearch result = BoundedSearch::notFound;
    int32_t length = 0;
    if (status == solveSolved) {
        // Breadth-first: the shortest length that avoids prevBlank.
        length = state.bestLength.load(std::memory_order_relaxed);
        if (length <= bound) result = BoundedSearch::found;
    } else if (status == solveFrontierReady) {
        result = runBoundedIteration(state, tables_, bound);
        nodes_ += state.nodes;
        length = bound;
    }
    if (result == BoundedSearch::found && path != nullptr) {
        path->assign(state.solution.begin(), state.solution.begin() + length);
    }
    return result;
}

MoveAnalysis MoveAnalyser::analyseMoves(const Board& board, SolveOutput* output) {
    QuietOutput quiet;
    MoveAnalysis analysis;
    analysis.board = board;
    nodes_ = 0;
    const int32_t blank = blankCell(board);
    const int32_t count = blank < 0 ? 0 : neighborCount[static_cast<std::size_t>(blank)];
    beginStep(0, 2);
    const uint32_t optimal =
        solveWithFirstMoves(board, analysis.solve, output != nullptr ? *output : quiet);
    analysis.status = analysis.solve.status;
    if (analysis.status == solveSolved) {
        analysis.length = analysis.solve.length;
        analysis.moveCount = count;
    }
    for (int32_t k = 0; k < analysis.moveCount; ++k) {
        const int32_t n = neighbors[static_cast<std::size_t>(blank)][static_cast<std::size_t>(k)];
        MoveVerdict& verdict = analysis.moves[static_cast<std::size_t>(k)];
        verdict.tile = board[static_cast<std::size_t>(n)];
        verdict.direction = directionOfMove(blank, n);
        verdict.optimal = (optimal >> k & 1U) != 0;
        verdict.lengthAfter = analysis.length + (verdict.optimal ? -1 : 1);
    }
    analysis.nodes = nodes_;
    return analysis;
}

uint32_t MoveAnalyser::solveWithFirstMoves(const Board& board, SolveResult& result,
                                           SolveOutput& output) {
    SolverState& state = *state_;
    solver_.setOptions({solver_.options().maxThreads, ParallelDesign::shared});
    result = solver_.solve(board, output);
    nodes_ += result.nodes;
    if (result.status != solveSolved || result.length == 0) return 0;
    // Shared deepening ended with a winner: every item before it was searched out
    // at the final bound, so the search for the other first moves goes on after it.
    if (state.parallelDesign == ParallelDesign::shared && state.maxThreads > 1 &&
        state.frontierDepth < result.length) {
        beginStep(1, 2);
        const int32_t winner =
            state.firstItem + state.frontier.order[static_cast<std::size_t>(state.sharedWinner)];
        const int32_t blank = blankCell(board);
        const uint32_t wanted = (1U << neighborCount[static_cast<std::size_t>(blank)]) - 1;
        const uint32_t optimal =
            findFirstMoves(state, tables_, result.length, state.sharedWinner, state.sharedActive,
                           state.frontier.firstMoves[static_cast<std::size_t>(winner)], wanted);
        nodes_ += state.nodes;
        if (state.status == solveCancelled) result.status = solveCancelled;
        return optimal;
    }
    // One thread searches the start node alone, and a solve within the first
    // levels has no iteration: a bounded search of each other move.
    return firstMovesByNeighbour(board, result);
}

uint32_t MoveAnalyser::firstMovesByNeighbour(const Board& board, SolveResult& result) {
    const int32_t blank = blankCell(board);
    const int32_t count = neighborCount[static_cast<std::size_t>(blank)];
    uint32_t optimal = 0;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t n = neighbors[static_cast<std::size_t>(blank)][static_cast<std::size_t>(k)];
        if (board[static_cast<std::size_t>(n)] == result.moves[0]) {
            optimal |= 1U << k;  // the solve's own first move
            continue;
        }
        Board after = board;
        applyMove(after, blank, n);
        const BoundedSearch r = solvesWithin(after, blank, result.length - 1, nullptr);
        if (r == BoundedSearch::cancelled) {
            result.status = solveCancelled;
            return 0;
        }
        if (r == BoundedSearch::found) optimal |= 1U << k;
    }
    return optimal;
}

MoveReview MoveAnalyser::reviewMoves(const Board& start, const std::vector<WrittenMove>& moves,
                                     SolveOutput* output) {
    MoveReview review;
    review.start = start;
    nodes_ = 0;
    const auto steps = static_cast<int32_t>(moves.size());
    beginStep(0, steps);
    QuietOutput quiet;
    const SolveResult solved = solver_.solve(start, output != nullptr ? *output : quiet);
    nodes_ += solved.nodes;
    review.solve = solved;
    review.status = solved.status;
    if (review.status == solveInvalid || review.status == solveCancelled) return review;
    review.startLength = solved.length;
    // A shortest solution from the current position, as far as one is known: a
    // move along it needs no search.
    std::vector<int32_t> path(solved.moves.begin(), solved.moves.begin() + solved.length);
    std::size_t along = 0;
    // Positions met before (a sequence that goes back and forth) by their key.
    std::unordered_map<BoardKey, int32_t> known;
    known[packBoard(start)] = solved.length;
    Board board = start;
    int32_t blank = blankCell(board);
    int32_t distance = solved.length;
    for (int32_t i = 0; i < steps; ++i) {
        const WrittenMove move = moves[static_cast<std::size_t>(i)];
        const int32_t from = moveCell(board, blank, move);
        if (from < 0) {
            review.illegalIndex = i;
            break;
        }
        const int32_t tile = board[static_cast<std::size_t>(from)];
        applyMove(board, blank, from);
        const int32_t prevBlank = blank;
        blank = from;
        review.tiles.push_back(tile);
        if (review.status != solveSolved) continue;  // unsolvable, or cancelled on the way
        const BoardKey key = packBoard(board);
        const bool onPath = along < path.size() && path[along] == tile;
        if (onPath) {
            ++along;
            distance -= 1;
        } else if (const auto it = known.find(key); it != known.end()) {
            distance = it->second;
            path.clear();
        } else if (distance == 0) {
            distance = 1;  // the goal's neighbours
            path.clear();
        } else {
            beginStep(i + 1, steps);
            path.clear();
            const BoundedSearch r = solvesWithin(board, prevBlank, distance - 1, &path);
            if (r == BoundedSearch::cancelled) {
                review.status = solveCancelled;
                review.tiles.pop_back();
                break;
            }
            distance += r == BoundedSearch::found ? -1 : 1;
        }
        if (!onPath) along = 0;
        known[key] = distance;
        review.distances.push_back(distance);
    }
    review.nodes = nodes_;
    return review;
}

}  // namespace fifteen
