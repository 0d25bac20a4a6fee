#include "search/move_analysis.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <random>
#include <thread>
#include <unordered_map>
#include <vector>

#include "puzzle/standard_instances.h"
#include "recording_output.h"
#include "search/table_set.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

using Distances = std::unordered_map<BoardKey, int32_t>;

// Breadth-first distances to the goal up to 12 moves, once per process.
const Distances& oracle() {
    static const Distances distances = testing::positionsWithin(12);
    return distances;
}

Board afterMove(const Board& board, int32_t tile) {
    Board after = board;
    const int32_t blank = testing::blankCell(board);
    for (int32_t c = 0; c < 16; ++c) {
        if (board[static_cast<std::size_t>(c)] == tile) applyMove(after, blank, c);
    }
    return after;
}

// length moves from board, each drawn among all the blank's neighbours (moves
// straight back included, so sequences overshoot and return).
std::vector<int32_t> randomMoves(std::mt19937& random, Board board, int32_t length) {
    std::vector<int32_t> tiles;
    for (int32_t i = 0; i < length; ++i) {
        const auto blank = static_cast<std::size_t>(testing::blankCell(board));
        std::uniform_int_distribution<int32_t> pick(0, neighborCount[blank] - 1);
        const int32_t n = neighbors[blank][static_cast<std::size_t>(pick(random))];
        tiles.push_back(board[static_cast<std::size_t>(n)]);
        board = afterMove(board, tiles.back());
    }
    return tiles;
}

std::vector<WrittenMove> written(const std::vector<int32_t>& tiles) {
    std::vector<WrittenMove> moves;
    for (const int32_t tile : tiles) moves.push_back({tile, 0});
    return moves;
}

int32_t solvedLength(const Board& board) {
    testing::RecordingOutput quiet;
    Solver solver(SolveOptions{2, ParallelDesign::shared});
    const SolveResult r = solver.solve(board, quiet);
    EXPECT_EQ(r.status, solveSolved);
    return r.length;
}

class MoveAnalysisThreads : public ::testing::TestWithParam<int32_t> {
  protected:
    void SetUp() override { testing::requireAllTables(); }
    MoveAnalyser analyser{defaultTableSet(), SolveOptions{GetParam(), ParallelDesign::shared}};
};

// Every verdict against breadth-first distances: the length, each move's
// length after it, and optimal exactly when that is one less.
TEST_P(MoveAnalysisThreads, VerdictsMatchBreadthFirstDistancesUpTo12Moves) {
    std::mt19937 random(1800 + static_cast<uint32_t>(GetParam()));
    for (int32_t trial = 0; trial < 40; ++trial) {
        const Board board = testing::randomWalkFromGoal(random, trial % 14);
        const auto known = oracle().find(packBoard(board));
        if (known == oracle().end() || known->second > 11) continue;  // neighbours within 12
        const int32_t length = known->second;
        const MoveAnalysis a = analyser.analyseMoves(board);
        ASSERT_EQ(a.status, solveSolved);
        EXPECT_EQ(a.length, length);
        EXPECT_TRUE(testing::replayReachesGoal(board, a.solve.moves.data(), a.solve.length));
        ASSERT_EQ(a.moveCount, neighborCount[static_cast<std::size_t>(testing::blankCell(board))]);
        for (int32_t k = 0; k < a.moveCount; ++k) {
            const MoveVerdict& v = a.moves[static_cast<std::size_t>(k)];
            const int32_t after = oracle().at(packBoard(afterMove(board, v.tile)));
            EXPECT_EQ(v.lengthAfter, after) << "tile " << v.tile;
            EXPECT_EQ(v.optimal, after == length - 1) << "tile " << v.tile;
        }
    }
}

// Past the first levels the other optimal moves come from the solve's last
// iteration; each verdict against a solve of its own, which also checks that
// every move changes the length by exactly one.
TEST_P(MoveAnalysisThreads, VerdictsMatchSolvesOfEachMoveAndEachMoveChangesTheLengthByOne) {
    std::mt19937 random(1818 + static_cast<uint32_t>(GetParam()));
    for (int32_t trial = 0; trial < 6; ++trial) {
        const Board board = testing::randomWalkFromGoal(random, 30 + 2 * trial);
        const MoveAnalysis a = analyser.analyseMoves(board);
        ASSERT_EQ(a.status, solveSolved);
        ASSERT_EQ(a.length, solvedLength(board));
        int32_t optimal = 0;
        for (int32_t k = 0; k < a.moveCount; ++k) {
            const MoveVerdict& v = a.moves[static_cast<std::size_t>(k)];
            const int32_t after = solvedLength(afterMove(board, v.tile));
            EXPECT_EQ(std::abs(after - a.length), 1) << "tile " << v.tile;
            EXPECT_EQ(v.lengthAfter, after) << "tile " << v.tile;
            optimal += v.optimal ? 1 : 0;
        }
        EXPECT_GE(optimal, 1);
    }
}

// Every distance along random sequences (back and forth, through the goal and
// past it) against breadth-first distances.
TEST_P(MoveAnalysisThreads, ReviewDistancesMatchBreadthFirstDistancesAlongRandomSequences) {
    std::mt19937 random(1881 + static_cast<uint32_t>(GetParam()));
    for (int32_t trial = 0; trial < 12; ++trial) {
        const Board start = testing::randomWalkFromGoal(random, 2 + trial % 5);
        const std::vector<int32_t> tiles = randomMoves(random, start, 6);
        const MoveReview r = analyser.reviewMoves(start, written(tiles));
        ASSERT_EQ(r.status, solveSolved);
        EXPECT_EQ(r.illegalIndex, -1);
        EXPECT_EQ(r.startLength, oracle().at(packBoard(start)));
        ASSERT_EQ(r.tiles, tiles);
        ASSERT_EQ(r.distances.size(), tiles.size());
        Board board = start;
        std::vector<int32_t> lost;
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            const int32_t before = oracle().at(packBoard(board));
            board = afterMove(board, tiles[i]);
            EXPECT_EQ(r.distances[i], oracle().at(packBoard(board))) << "move " << i;
            if (oracle().at(packBoard(board)) > before) lost.push_back(static_cast<int32_t>(i));
        }
        EXPECT_EQ(lostMoves(r), lost);
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, MoveAnalysisThreads, ::testing::Values(1, 2));

class MoveReviewTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::requireAllTables(); }
    MoveAnalyser analyser{defaultTableSet(), SolveOptions{2, ParallelDesign::shared}};
};

// A sequence leaving the oracle's range: the distances against solves.
TEST_F(MoveReviewTest, ReviewOfALongerSequenceMatchesSolvesAfterEachMove) {
    std::mt19937 random(18);
    const Board start = testing::randomWalkFromGoal(random, 36);
    const std::vector<int32_t> tiles = randomMoves(random, start, 8);
    const MoveReview r = analyser.reviewMoves(start, written(tiles));
    ASSERT_EQ(r.status, solveSolved);
    ASSERT_EQ(r.distances.size(), tiles.size());
    Board board = start;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        board = afterMove(board, tiles[i]);
        EXPECT_EQ(r.distances[i], solvedLength(board)) << "move " << i;
    }
}

TEST_F(MoveReviewTest, EmptyIllegalAndLetterSequences) {
    std::mt19937 random(7);
    const Board start = testing::randomWalkFromGoal(random, 9);
    const MoveReview empty = analyser.reviewMoves(start, {});
    EXPECT_EQ(empty.status, solveSolved);
    EXPECT_EQ(empty.startLength, oracle().at(packBoard(start)));
    EXPECT_TRUE(empty.distances.empty());
    EXPECT_TRUE(lostMoves(empty).empty());

    // Two legal moves, then a tile not next to the blank, then a legal one: the
    // review stops at index 2 with the distances of the first two.
    std::vector<int32_t> tiles = randomMoves(random, start, 2);
    const Board reached = afterMove(afterMove(start, tiles[0]), tiles[1]);
    const int32_t blank = testing::blankCell(reached);
    int32_t far = 1;
    while (far == reached[static_cast<std::size_t>(blank)] ||
           moveCell(reached, blank, {far, 0}) >= 0) {
        ++far;
    }
    tiles.push_back(far);
    tiles.push_back(tiles[1]);
    const MoveReview illegal = analyser.reviewMoves(start, written(tiles));
    EXPECT_EQ(illegal.illegalIndex, 2);
    EXPECT_EQ(illegal.tiles.size(), 2U);
    EXPECT_EQ(illegal.distances.size(), 2U);

    // The goal's blank is in the corner: no tile slides down into cell 15 from
    // below, and the letters name the same moves as the tiles.
    const MoveReview offBoard = analyser.reviewMoves(goalBoard, {{0, 'R'}, {0, 'U'}});
    EXPECT_EQ(offBoard.illegalIndex, 1);
    EXPECT_EQ(offBoard.tiles, std::vector<int32_t>{15});
    EXPECT_EQ(offBoard.distances, std::vector<int32_t>{1});
}

TEST_F(MoveReviewTest, InvalidAndUnsolvableStartsGiveNoDistances) {
    Board repeated = goalBoard;
    repeated[0] = 2;
    EXPECT_EQ(analyser.reviewMoves(repeated, {{15, 0}}).status, solveInvalid);
    EXPECT_EQ(analyser.analyseMoves(repeated).status, solveInvalid);
    Board swapped = goalBoard;
    std::swap(swapped[0], swapped[1]);
    const MoveReview unsolvable = analyser.reviewMoves(swapped, {{15, 0}, {9, 0}});
    EXPECT_EQ(unsolvable.status, solveUnsolvable);
    EXPECT_EQ(unsolvable.tiles, std::vector<int32_t>{15});
    EXPECT_EQ(unsolvable.illegalIndex, 1);
    EXPECT_TRUE(unsolvable.distances.empty());
    const MoveAnalysis a = analyser.analyseMoves(swapped);
    EXPECT_EQ(a.status, solveUnsolvable);
    EXPECT_EQ(a.moveCount, 0);
}

// Cancel from another thread while the search runs, and before a call: both
// end the call as cancelled, with no verdicts; clearCancel makes the next one
// run to its answer.
TEST_F(MoveReviewTest, CancelDuringAnAnalysisAndBeforeAReview) {
    const Board board = standardInstance(88).board;  // far longer than the wait below
    MoveAnalysis a;
    analyser.clearCancel();
    std::thread worker([&] { a = analyser.analyseMoves(board); });
    while (analyser.progress().search.nodes == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    analyser.cancel();
    worker.join();
    EXPECT_EQ(a.status, solveCancelled);
    EXPECT_EQ(a.moveCount, 0);

    std::mt19937 random(3);
    const Board start = testing::randomWalkFromGoal(random, 20);
    const std::vector<int32_t> tiles = randomMoves(random, start, 4);
    const MoveReview cancelled = analyser.reviewMoves(start, written(tiles));
    EXPECT_EQ(cancelled.status, solveCancelled) << "the request is kept until cleared";
    EXPECT_TRUE(cancelled.distances.empty());
    analyser.clearCancel();
    const MoveReview answered = analyser.reviewMoves(start, written(tiles));
    EXPECT_EQ(answered.status, solveSolved);
    EXPECT_EQ(answered.distances.size(), tiles.size());
}

}  // namespace
}  // namespace fifteen
