#include "puzzle/goal.h"

#include <cstddef>

namespace fifteen {

const Board& goalBoardOf(Goal goal) {
    return goal == Goal::blankFirst ? blankFirstGoalBoard : goalBoard;
}

const char* goalName(Goal goal) {
    return goal == Goal::blankFirst ? "blank-first" : "blank-last";
}

std::optional<Goal> parseGoal(std::string_view name) {
    if (name == "blank-last") return Goal::blankLast;
    if (name == "blank-first") return Goal::blankFirst;
    return std::nullopt;
}

Board turnedBoard(const Board& board) {
    Board turned{};
    for (std::size_t cell = 0; cell < 16; ++cell) turned[cell] = turnedTile(board[15 - cell]);
    return turned;
}

Board boardForSearch(const Board& board, Goal goal) {
    return goal == Goal::blankFirst ? turnedBoard(board) : board;
}

std::vector<int32_t> movesForGoal(const std::vector<int32_t>& searchMoves, Goal goal) {
    std::vector<int32_t> moves = searchMoves;
    if (goal == Goal::blankFirst) {
        for (int32_t& tile : moves) tile = turnedTile(tile);
    }
    return moves;
}

}  // namespace fifteen
