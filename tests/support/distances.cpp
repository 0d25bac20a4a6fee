#include "tests/support/distances.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "tests/support/walks.h"

namespace fifteen::test_support {

std::unordered_map<BoardKey, int32_t> positionsWithin(const Board& centre, int32_t radius) {
    std::unordered_map<BoardKey, int32_t> distance{{packBoard(centre), 0}};
    std::vector<Board> layer{centre};
    for (int32_t d = 1; d <= radius; ++d) {
        std::vector<Board> next;
        for (Board board : layer) {
            const int32_t z = blankCell(board);
            const auto b = static_cast<std::size_t>(z);
            for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]); ++k) {
                const int32_t n = neighbors[b][k];
                applyMove(board, z, n);
                if (distance.emplace(packBoard(board), d).second) next.push_back(board);
                applyMove(board, n, z);
            }
        }
        layer = std::move(next);
    }
    return distance;
}

std::unordered_map<BoardKey, int32_t> positionsWithin(int32_t maxDepth) {
    return positionsWithin(goalBoard, maxDepth);
}

}  // namespace fifteen::test_support
