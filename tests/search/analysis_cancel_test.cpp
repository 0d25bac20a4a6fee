// Analyses and reviews cancelled at each stage: before the call, during the solve
// of the start and after it (while the other optimal moves, or the distances
// after the moves, are searched). The cancel comes from the solve's own calls to
// its output, so it lands at the same point on every run.
#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <random>
#include <vector>

#include "puzzle/moves.h"
#include "recording_output.h"
#include "search/move_analysis.h"
#include "search/table_set.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

enum class Stage { beforeTheCall, duringTheSolve, afterTheSolve };

const char* stageName(Stage stage) {
    switch (stage) {
        case Stage::beforeTheCall:
            return "BeforeTheCall";
        case Stage::duringTheSolve:
            return "DuringTheSolve";
        default:
            return "AfterTheSolve";
    }
}

// Cancels the analyser when the solve of the start reaches the stage.
class CancellingOutput final : public testing::RecordingOutput {
  public:
    CancellingOutput(MoveAnalyser& analyser, Stage stage) : analyser_(analyser), stage_(stage) {}
    void searchStarted() override {
        searchStartedCalls += 1;
        if (stage_ == Stage::duringTheSolve) analyser_.cancel();
    }
    void solveFinished(const SolveResult& finishedWith) override {
        RecordingOutput::solveFinished(finishedWith);
        if (stage_ == Stage::afterTheSolve) analyser_.cancel();
    }
    int32_t searchStartedCalls = 0;

  private:
    MoveAnalyser& analyser_;
    Stage stage_;
};

using Distances = std::unordered_map<BoardKey, int32_t>;

const Distances& oracle() {
    static const Distances distances = testing::positionsWithin(12);
    return distances;
}

Board afterTile(const Board& board, int32_t tile) {
    return *test_support::replay(board, std::vector<int32_t>{tile});
}

// A position past the frontier's levels, so that its solve runs a search (and
// with two threads the other optimal moves come from the iteration after it).
Board farPosition() {
    std::mt19937 random(31);
    return testing::randomWalkFromGoal(random, 40);
}

struct CancelCase {
    int32_t threads;
    Stage stage;
};

void PrintTo(const CancelCase& row, std::ostream* os) {
    *os << stageName(row.stage) << " on " << row.threads << " threads";
}

std::string caseName(const ::testing::TestParamInfo<CancelCase>& row) {
    return std::string(stageName(row.param.stage)) + "On" + std::to_string(row.param.threads) +
           "Threads";
}

class CancelledAnalysis : public ::testing::TestWithParam<CancelCase> {
  protected:
    void SetUp() override { testing::requireAllTables(); }
    MoveAnalyser analyser{defaultTableSet(),
                          SolveOptions{GetParam().threads, ParallelDesign::shared}};
};

// Cancelled at any stage, the analysis says so and gives no verdicts; after
// clearCancel the same analyser answers in full.
TEST_P(CancelledAnalysis, EndsCancelledWithoutVerdictsThenAnswersAfterClearCancel) {
    const Board board = farPosition();
    CancellingOutput output(analyser, GetParam().stage);
    analyser.clearCancel();
    if (GetParam().stage == Stage::beforeTheCall) analyser.cancel();
    const MoveAnalysis cancelled = analyser.analyseMoves(board, &output);
    EXPECT_EQ(cancelled.status, solveCancelled);
    EXPECT_EQ(cancelled.moveCount, 0);
    EXPECT_EQ(cancelled.length, 0);
    if (GetParam().stage == Stage::afterTheSolve) {
        // The solve itself ran to its answer before the cancel.
        ASSERT_TRUE(output.finished);
        EXPECT_EQ(output.result.status, solveSolved);
        EXPECT_EQ(output.searchStartedCalls, 1);
    }

    analyser.clearCancel();
    testing::RecordingOutput quiet;
    const MoveAnalysis answered = analyser.analyseMoves(board, &quiet);
    ASSERT_EQ(answered.status, solveSolved);
    EXPECT_TRUE(testing::replayReachesGoal(board, answered.solve.moves.data(), answered.length));
    EXPECT_EQ(answered.moveCount,
              neighborCount[static_cast<std::size_t>(testing::blankCell(board))]);
}

INSTANTIATE_TEST_SUITE_P(
    Stages, CancelledAnalysis,
    ::testing::Values(CancelCase{1, Stage::beforeTheCall}, CancelCase{1, Stage::duringTheSolve},
                      CancelCase{1, Stage::afterTheSolve}, CancelCase{2, Stage::beforeTheCall},
                      CancelCase{2, Stage::duringTheSolve}, CancelCase{2, Stage::afterTheSolve}),
    caseName);

class CancelledReviewStart : public CancelledAnalysis {};

// A review cancelled before the solve of its start, or during it, has no
// distances; one cancelled after it has none when its first move needs a search.
TEST_P(CancelledReviewStart, KeepsNoDistances) {
    const Board start = farPosition();
    const int32_t blank = testing::blankCell(start);
    const int32_t tile =
        start[static_cast<std::size_t>(neighbors[static_cast<std::size_t>(blank)][0])];
    CancellingOutput output(analyser, GetParam().stage);
    analyser.clearCancel();
    if (GetParam().stage == Stage::beforeTheCall) analyser.cancel();
    const MoveReview review = analyser.reviewMoves(start, {{tile, 0}}, &output);
    EXPECT_EQ(review.status, solveCancelled);
    EXPECT_TRUE(review.distances.empty());
    EXPECT_TRUE(review.tiles.empty());
    analyser.clearCancel();
}

INSTANTIATE_TEST_SUITE_P(
    Stages, CancelledReviewStart,
    ::testing::Values(CancelCase{1, Stage::beforeTheCall}, CancelCase{1, Stage::duringTheSolve},
                      CancelCase{1, Stage::afterTheSolve}, CancelCase{2, Stage::beforeTheCall},
                      CancelCase{2, Stage::duringTheSolve}, CancelCase{2, Stage::afterTheSolve}),
    caseName);

// A review cancelled after the solve of its start: the moves along the solve's
// own solution need no search and keep their distances; the first move off it
// needs one, which the cancel ends, and the review ends there, cancelled.
TEST(CancelledReview, AfterTheSolveKeepsTheDistancesFoundBeforeTheFirstSearch) {
    testing::requireAllTables();
    MoveAnalyser analyser{defaultTableSet(), SolveOptions{1, ParallelDesign::shared}};
    std::mt19937 random(1931);
    for (int32_t trial = 0; trial < 6; ++trial) {
        const Board start = testing::randomWalkFromGoal(random, 10 + trial % 3);
        const int32_t length = oracle().at(packBoard(start));
        if (length < 4) continue;
        SCOPED_TRACE(trial);
        // The solution this analyser finds (one thread: the same on every call).
        analyser.clearCancel();
        const MoveReview plain = analyser.reviewMoves(start, {});
        ASSERT_EQ(plain.status, solveSolved);
        const std::vector<int32_t> path(plain.solve.moves.begin(),
                                        plain.solve.moves.begin() + plain.solve.length);
        // along of its moves, then one that loses (never on the path, never
        // searched before), then the same tile straight back.
        const auto along = static_cast<std::size_t>(trial % 3);
        Board board = start;
        std::vector<WrittenMove> moves;
        std::vector<int32_t> kept;
        for (std::size_t i = 0; i < along; ++i) {
            moves.push_back({path[i], 0});
            board = afterTile(board, path[i]);
            kept.push_back(oracle().at(packBoard(board)));
        }
        const int32_t blank = testing::blankCell(board);
        int32_t losing = 0;
        for (int32_t k = 0; k < neighborCount[static_cast<std::size_t>(blank)]; ++k) {
            const int32_t tile = board[static_cast<std::size_t>(
                neighbors[static_cast<std::size_t>(blank)][static_cast<std::size_t>(k)])];
            // Not straight back: a position met before is known, not searched.
            const bool back = along > 0 && tile == path[along - 1];
            if (!back &&
                oracle().at(packBoard(afterTile(board, tile))) > oracle().at(packBoard(board))) {
                losing = tile;
            }
        }
        ASSERT_NE(losing, 0);
        moves.push_back({losing, 0});
        moves.push_back({losing, 0});  // and straight back

        CancellingOutput output(analyser, Stage::afterTheSolve);
        const MoveReview review = analyser.reviewMoves(start, moves, &output);
        EXPECT_EQ(review.status, solveCancelled);
        EXPECT_EQ(review.startLength, length);
        EXPECT_EQ(review.distances, kept);
        EXPECT_EQ(
            review.tiles,
            std::vector<int32_t>(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(along)));
        EXPECT_EQ(review.illegalIndex, -1);
    }
    analyser.clearCancel();
}

}  // namespace
}  // namespace fifteen
