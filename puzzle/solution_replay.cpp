#include "puzzle/solution_replay.h"

#include "puzzle/moves.h"

namespace fifteen {

bool replaySolution(const Board& start, const std::vector<int32_t>& moves,
                    std::string& directions) {
    directions.clear();
    Board board = start;
    if (blankCell(board) < 0) return false;
    for (const int32_t tile : moves) {
        const SlideDirection direction = slideTile(board, tile);
        if (direction == SlideDirection::none) return false;
        directions += directionLetter(direction);
    }
    return board == goalBoard;
}

}  // namespace fifteen
