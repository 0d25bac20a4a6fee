#include "tests/support/walks.h"

#include <cstddef>

namespace fifteen::test_support {

int32_t blankCell(const Board& board) {
    for (int32_t cell = 0; cell < 16; ++cell) {
        if (board[static_cast<std::size_t>(cell)] == 0) return cell;
    }
    return -1;
}

std::vector<int32_t> randomWalkTiles(std::mt19937& random, int32_t moves) {
    Board board = goalBoard;
    int blank = 15;
    int previous = -1;
    std::vector<int32_t> tiles;
    for (int32_t i = 0; i < moves; ++i) {
        const auto b = static_cast<std::size_t>(blank);
        int n = previous;
        while (n == previous) {
            std::uniform_int_distribution<int> pick(0, neighborCount[b] - 1);
            n = neighbors[b][static_cast<std::size_t>(pick(random))];
        }
        tiles.push_back(board[static_cast<std::size_t>(n)]);
        applyMove(board, blank, n);
        previous = blank;
        blank = n;
    }
    return tiles;
}

Board randomWalkFromGoal(std::mt19937& random, int32_t moves) {
    return *replay(goalBoard, randomWalkTiles(random, moves));
}

std::optional<Board> replay(Board board, std::span<const int32_t> tiles) {
    for (const int32_t tile : tiles) {
        const int32_t blank = blankCell(board);
        if (blank < 0) return std::nullopt;
        const auto b = static_cast<std::size_t>(blank);
        int from = -1;
        for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]); ++k) {
            if (board[static_cast<std::size_t>(neighbors[b][k])] == tile) from = neighbors[b][k];
        }
        if (from < 0) return std::nullopt;
        applyMove(board, blank, from);
    }
    return board;
}

bool replayReachesGoal(const Board& board, std::span<const int32_t> tiles) {
    const std::optional<Board> end = replay(board, tiles);
    return end && *end == goalBoard;
}

std::string slideLetters(Board board, std::span<const int32_t> tiles) {
    std::string letters;
    for (const int32_t tile : tiles) {
        const std::optional<Board> after = replay(board, {&tile, 1});
        if (!after) return "";
        const int blank = blankCell(board);
        const int from = blankCell(*after);
        const int dr = blank / 4 - from / 4;
        letters += dr < 0 ? 'U' : dr > 0 ? 'D' : blank % 4 < from % 4 ? 'L' : 'R';
        board = *after;
    }
    return letters;
}

bool replayMoves(Board& board, const int32_t* tiles, int32_t count) {
    const std::optional<Board> end = replay(board, {tiles, static_cast<std::size_t>(count)});
    if (end) board = *end;
    return end.has_value();
}

bool replayReachesGoal(const Board& board, const int32_t* tiles, int32_t count) {
    return replayReachesGoal(board, {tiles, static_cast<std::size_t>(count)});
}

}  // namespace fifteen::test_support
