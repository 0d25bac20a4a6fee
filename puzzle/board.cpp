#include "puzzle/board.h"

namespace fifteen {

BoardKey packBoard(const Board& board) {
    BoardKey key = 0;
    for (int32_t value : board) key = (key << 4) + static_cast<BoardKey>(value);
    return key;
}

int unpackBoard(BoardKey key, Board& board) {
    for (int cell = 15; cell >= 0; --cell) {
        board[static_cast<size_t>(cell)] = static_cast<int32_t>(key & 0xF);
        key >>= 4;
    }
    for (int cell = 0; cell < 16; ++cell) {
        if (board[static_cast<size_t>(cell)] == 0) return cell;
    }
    return -1;  // no blank: not the key of a valid board
}

bool isValidBoard(const Board& board) {
    unsigned seen = 0;
    for (int32_t value : board) {
        if (value < 0 || value > 15) return false;
        seen |= 1u << value;
    }
    return seen == 0xFFFFu;
}

int solvabilityParity(const Board& board) {
    int blank = 0;
    while (blank < 15 && board[static_cast<size_t>(blank)] != 0) ++blank;
    int parity = 3 - blank / 4;
    for (size_t i = 0; i < 16; ++i) {
        if (board[i] == 0) continue;
        for (size_t j = i + 1; j < 16; ++j) {
            if (board[j] != 0 && board[j] < board[i]) ++parity;
        }
    }
    return parity;
}

bool isSolvable(const Board& board) {
    return solvabilityParity(board) % 2 == 0;
}

}  // namespace fifteen
