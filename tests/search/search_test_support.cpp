#include "search_test_support.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <mutex>

#include "heuristics/wd/wd_eval.h"
#include "heuristics/wd/wd_table.h"
#include "search/preparation.h"

namespace fifteen::testing {

void requireWdTable() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (wdTable.recordCount == 0 && !buildWdTable(wdTable)) std::abort();
    });
}

void requireAllTables() {
    static std::once_flag once;
    std::call_once(once, [] {
        Preparation preparation;
        if (!preparation.start([](PreparedTable) {})) std::abort();
        preparation.join();
    });
}

std::unordered_map<BoardKey, int32_t> positionsWithin(int32_t maxDepth) {
    std::unordered_map<BoardKey, int32_t> distance{{goalKey, 0}};
    std::vector<BoardKey> level{goalKey};
    for (int32_t d = 1; d <= maxDepth; ++d) {
        std::vector<BoardKey> next;
        for (BoardKey key : level) {
            Board board{};
            const int blank = unpackBoard(key, board);
            const auto b = static_cast<std::size_t>(blank);
            for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]); ++k) {
                const int n = neighbors[b][k];
                applyMove(board, blank, n);
                if (distance.emplace(packBoard(board), d).second) next.push_back(packBoard(board));
                applyMove(board, n, blank);
            }
        }
        level.swap(next);
    }
    return distance;
}

int32_t blankCell(const Board& board) {
    for (int32_t cell = 0; cell < 16; ++cell) {
        if (board[static_cast<std::size_t>(cell)] == 0) return cell;
    }
    return -1;
}

bool replayMoves(Board& board, const int32_t* moves, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t blank = blankCell(board);
        const auto b = static_cast<std::size_t>(blank);
        bool moved = false;
        for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]) && !moved; ++k) {
            const int n = neighbors[b][k];
            if (board[static_cast<std::size_t>(n)] == moves[i]) {
                applyMove(board, blank, n);
                moved = true;
            }
        }
        if (!moved) return false;
    }
    return true;
}

bool replayReachesGoal(Board board, const int32_t* moves, int32_t count) {
    return replayMoves(board, moves, count) && board == goalBoard;
}

Board randomWalkFromGoal(std::mt19937& random, int32_t moves) {
    Board board = goalBoard;
    int blank = 15;
    int previous = -1;
    for (int32_t i = 0; i < moves; ++i) {
        const auto b = static_cast<std::size_t>(blank);
        int n = previous;
        while (n == previous) {
            std::uniform_int_distribution<int> pick(0, neighborCount[b] - 1);
            n = neighbors[b][static_cast<std::size_t>(pick(random))];
        }
        applyMove(board, blank, n);
        previous = blank;
        blank = n;
    }
    return board;
}

int32_t walkingDistance(const Board& board) {
    return findRowRecord(wdTable, board)->distance + findColumnRecord(wdTable, board)->distance;
}

}  // namespace fifteen::testing
