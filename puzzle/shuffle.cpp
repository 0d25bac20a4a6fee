#include "puzzle/shuffle.h"

#include <utility>

namespace fifteen {

namespace {
uint32_t randomState = 1;
}

void seedRandom(uint32_t seed) {
    randomState = seed;
}

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

void shuffleBoard(Board& board) {
    do {
        for (int i = 15; i >= 1; --i) {
            const int k = nextRandom() * (i + 1) / 32768;
            std::swap(board[static_cast<size_t>(i)], board[static_cast<size_t>(k)]);
        }
    } while (!isSolvable(board));
}

}  // namespace fifteen
