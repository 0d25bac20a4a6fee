// The lines the front ends show for an analysis and a review, read back against
// breadth-first distances and the board's geometry: the way each listed tile
// slides, and how many moves a review took beyond the optimum.
#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "puzzle/move_text.h"
#include "search/move_analysis.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

using Distances = std::unordered_map<BoardKey, int32_t>;

const Distances& oracle() {
    static const Distances distances = testing::positionsWithin(12);
    return distances;
}

Board afterTile(const Board& board, int32_t tile) {
    return *test_support::replay(board, std::vector<int32_t>{tile});
}

// The analysis of a board within the oracle's range, its verdicts from the
// breadth-first distances.
MoveAnalysis analysisOf(const Board& board) {
    MoveAnalysis analysis;
    analysis.board = board;
    analysis.status = solveSolved;
    analysis.length = oracle().at(packBoard(board));
    const auto blank = static_cast<std::size_t>(testing::blankCell(board));
    analysis.moveCount = neighborCount[blank];
    for (std::size_t k = 0; k < static_cast<std::size_t>(analysis.moveCount); ++k) {
        const int32_t from = neighbors[blank][k];
        MoveVerdict& v = analysis.moves[k];
        v.tile = board[static_cast<std::size_t>(from)];
        v.direction = directionOfMove(static_cast<int32_t>(blank), from);
        v.lengthAfter = oracle().at(packBoard(afterTile(board, v.tile)));
        v.optimal = v.lengthAfter < analysis.length;
    }
    return analysis;
}

// A way a tile slides, as the analysis line words it: the tile's row and column
// after the move less those before it.
struct Way {
    const char* word;
    int32_t rowStep;
    int32_t columnStep;
};

void PrintTo(const Way& way, std::ostream* os) {
    *os << way.word;
}

// The tiles an analysis line names, "Optimal moves: 12 (left), 7 (up); +2: 3
// (down); ...", with their words and their part of the line.
struct Named {
    std::string word;
    bool optimal;
};

std::map<int32_t, Named> namedMoves(const std::string& line) {
    std::map<int32_t, Named> named;
    const std::size_t plus = line.find("; +2: ");
    const std::size_t end = line.find("; ", plus + 1);
    const std::string parts[2] = {line.substr(15, plus - 15),
                                  line.substr(plus + 6, end - plus - 6)};
    EXPECT_EQ(line.rfind("Optimal moves: ", 0), 0u);
    for (int part = 0; part < 2; ++part) {
        std::istringstream in(parts[part]);
        for (std::string item; std::getline(in, item, ',');) {
            if (item == "none") continue;
            std::istringstream fields(item);
            int32_t tile = 0;
            std::string word;
            fields >> tile >> word;
            if (word.size() < 3 || word.front() != '(' || word.back() != ')') {
                ADD_FAILURE() << "not a tile and its way: '" << item << "'";
                continue;
            }
            named[tile] = {word.substr(1, word.size() - 2), part == 0};
        }
    }
    return named;
}

class AnalysisLineWay : public ::testing::TestWithParam<Way> {};

// Each tile in the line is followed by the word of the way it slides into the
// blank, and stands in the optimal part exactly when the distance after it is
// one less.
TEST_P(AnalysisLineWay, NamesTheWayEachTileSlides) {
    const Way& way = GetParam();
    std::mt19937 random(131);
    int32_t seen = 0;
    for (int32_t trial = 0; trial < 40; ++trial) {
        const Board board = testing::randomWalkFromGoal(random, 4 + trial % 8);
        if (oracle().at(packBoard(board)) == 0) continue;
        const int32_t blank = testing::blankCell(board);
        // The tile that slides this way into the blank stands one step against it.
        const int32_t row = blank / 4 - way.rowStep;
        const int32_t column = blank % 4 - way.columnStep;
        if (row < 0 || row > 3 || column < 0 || column > 3) continue;
        const int32_t tile = board[static_cast<std::size_t>(row * 4 + column)];
        const MoveAnalysis analysis = analysisOf(board);
        const std::string line = analysisLine(analysis);
        SCOPED_TRACE(line);
        const std::map<int32_t, Named> named = namedMoves(line);
        ASSERT_EQ(named.count(tile), 1u);
        EXPECT_EQ(named.at(tile).word, way.word);
        const bool optimal = oracle().at(packBoard(afterTile(board, tile))) < analysis.length;
        EXPECT_EQ(named.at(tile).optimal, optimal);
        ++seen;
    }
    EXPECT_GE(seen, 10);
}

INSTANTIATE_TEST_SUITE_P(Ways, AnalysisLineWay,
                         ::testing::Values(Way{"up", -1, 0}, Way{"down", 1, 0}, Way{"left", 0, -1},
                                           Way{"right", 0, 1}),
                         [](const ::testing::TestParamInfo<Way>& row) {
                             return std::string(row.param.word);
                         });

// The review of moves from start, its distances from the oracle.
MoveReview reviewOf(const Board& start, const std::vector<int32_t>& tiles) {
    MoveReview review;
    review.start = start;
    review.status = solveSolved;
    review.startLength = oracle().at(packBoard(start));
    Board board = start;
    for (const int32_t tile : tiles) {
        board = afterTile(board, tile);
        review.tiles.push_back(tile);
        review.distances.push_back(oracle().at(packBoard(board)));
    }
    return review;
}

// The tiles of a shortest way from board to the goal, by the oracle.
std::vector<int32_t> shortestWay(Board board) {
    std::vector<int32_t> tiles;
    while (oracle().at(packBoard(board)) > 0) {
        const auto blank = static_cast<std::size_t>(testing::blankCell(board));
        for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[blank]); ++k) {
            const int32_t tile = board[static_cast<std::size_t>(neighbors[blank][k])];
            if (oracle().at(packBoard(afterTile(board, tile))) < oracle().at(packBoard(board))) {
                tiles.push_back(tile);
                board = afterTile(board, tile);
                break;
            }
        }
    }
    return tiles;
}

// Reviews that reach the goal with 2, 4 or 6 moves more than the optimum: the
// summary says by how many, counted up from the optimum, and which moves lost.
TEST(ReviewSummary, AReviewOverTheOptimumSaysHowManyMovesMore) {
    std::mt19937 random(1331);
    for (int32_t losses = 1; losses <= 3; ++losses) {
        const Board start = testing::randomWalkFromGoal(random, 5);
        const int32_t optimal = oracle().at(packBoard(start));
        // losses moves that each lose 2 (away from the goal), then home.
        std::vector<int32_t> tiles;
        Board board = start;
        for (int32_t k = 0; k < losses; ++k) {
            const auto blank = static_cast<std::size_t>(testing::blankCell(board));
            for (std::size_t n = 0; n < static_cast<std::size_t>(neighborCount[blank]); ++n) {
                const int32_t tile = board[static_cast<std::size_t>(neighbors[blank][n])];
                if (oracle().at(packBoard(afterTile(board, tile))) >
                    oracle().at(packBoard(board))) {
                    tiles.push_back(tile);
                    board = afterTile(board, tile);
                    break;
                }
            }
        }
        ASSERT_EQ(tiles.size(), static_cast<std::size_t>(losses));
        for (const int32_t tile : shortestWay(board)) tiles.push_back(tile);
        const MoveReview review = reviewOf(start, tiles);
        ASSERT_EQ(review.distances.back(), 0);
        const auto count = static_cast<int32_t>(tiles.size());
        ASSERT_EQ(count, optimal + 2 * losses);

        const std::string summary = reviewSummary(review);
        SCOPED_TRACE(summary);
        EXPECT_EQ(summary.rfind(std::to_string(count) + " moves, ", 0), 0u);
        const std::string more = " more than the optimal " + std::to_string(optimal);
        const std::size_t at = summary.find(more);
        ASSERT_NE(at, std::string::npos);
        const std::size_t number = summary.rfind(", ", at) + 2;
        EXPECT_EQ(summary.substr(number, at - number), std::to_string(count - optimal));
        // The lost moves, counted from 1.
        std::string lost;
        for (const int32_t move : lostMoves(review)) {
            lost += (lost.empty() ? "" : ", ") + std::to_string(move + 1);
        }
        EXPECT_NE(summary.find(lost + (losses == 1 ? " lost 2" : " each lost 2")),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace fifteen
