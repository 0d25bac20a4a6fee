#include "puzzle/moves.h"

#include <cstddef>

namespace fifteen {

int blankCell(const Board& board) {
    for (int cell = 0; cell < 16; ++cell) {
        if (board[static_cast<std::size_t>(cell)] == 0) return cell;
    }
    return -1;
}

SlideDirection slideDirection(int from, int to) {
    const bool sameRow = from / 4 == to / 4;
    switch (to - from) {
        case -4:
            return SlideDirection::up;
        case 4:
            return SlideDirection::down;
        case -1:
            return sameRow ? SlideDirection::left : SlideDirection::none;
        case 1:
            return sameRow ? SlideDirection::right : SlideDirection::none;
        default:
            return SlideDirection::none;
    }
}

char directionLetter(SlideDirection direction) {
    switch (direction) {
        case SlideDirection::up:
            return 'U';
        case SlideDirection::right:
            return 'R';
        case SlideDirection::down:
            return 'D';
        case SlideDirection::left:
            return 'L';
        case SlideDirection::none:
            break;
    }
    return '?';
}

SlideDirection slideTile(Board& board, int32_t tile) {
    const int blank = blankCell(board);
    if (blank < 0 || tile == 0) return SlideDirection::none;
    const auto z = static_cast<std::size_t>(blank);
    for (int k = 0; k < neighborCount[z]; ++k) {
        const int n = neighbors[z][static_cast<std::size_t>(k)];
        if (board[static_cast<std::size_t>(n)] == tile) {
            applyMove(board, blank, n);
            return slideDirection(n, blank);
        }
    }
    return SlideDirection::none;
}

}  // namespace fifteen
