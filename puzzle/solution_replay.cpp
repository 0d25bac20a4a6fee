#include "puzzle/solution_replay.h"

#include <cstddef>

namespace fifteen {

bool replaySolution(const Board& start, const std::vector<int32_t>& moves,
                    std::string& directions) {
    directions.clear();
    Board board = start;
    int blank = 0;
    while (blank < 16 && board[static_cast<std::size_t>(blank)] != 0) ++blank;
    if (blank == 16) return false;
    for (const int32_t tile : moves) {
        int cell = -1;
        for (int k = 0; k < neighborCount[static_cast<std::size_t>(blank)]; ++k) {
            const int n = neighbors[static_cast<std::size_t>(blank)][static_cast<std::size_t>(k)];
            if (board[static_cast<std::size_t>(n)] == tile && tile != 0) cell = n;
        }
        if (cell < 0) return false;
        const int diff = blank - cell;
        directions += diff == -4 ? 'U' : diff == 4 ? 'D' : diff == -1 ? 'L' : 'R';
        applyMove(board, blank, cell);
        blank = cell;
    }
    return board == goalBoard;
}

}  // namespace fifteen
