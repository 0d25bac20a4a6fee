#include "tests/support/positions.h"

#include "puzzle/standard_instances.h"

namespace fifteen::test_support {

std::string positionText(const Board& board) {
    std::string text;
    for (const int32_t cell : board) {
        if (!text.empty()) text += ' ';
        text += std::to_string(cell);
    }
    return text;
}

std::string standardInstanceText(int number) {
    return positionText(standardInstance(number).board);
}

}  // namespace fifteen::test_support
