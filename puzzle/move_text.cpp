#include "puzzle/move_text.h"

#include <cstddef>

#include "puzzle/moves.h"

namespace fifteen {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isDirection(char c) {
    c = upper(c);
    return c == 'U' || c == 'D' || c == 'L' || c == 'R';
}

// One line: its numbers or its letters; a mix, or anything else, is an error.
bool parseLine(std::string_view line, int32_t offset, std::vector<WrittenMove>& numbers,
               std::vector<WrittenMove>& letters, std::string& error) {
    std::vector<WrittenMove> lineNumbers;
    std::vector<WrittenMove> lineLetters;
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (isSeparator(c)) {
            ++i;
        } else if (c >= '0' && c <= '9') {
            const auto begin = static_cast<int32_t>(i);
            int32_t tile = 0;
            while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
                if (tile < 100) tile = tile * 10 + (line[i] - '0');
                ++i;
            }
            if (tile < 1 || tile > 15) {
                error = "tile " + std::to_string(tile) + " is not 1..15";
                return false;
            }
            lineNumbers.push_back({tile, 0, offset + begin, offset + static_cast<int32_t>(i)});
        } else if (isDirection(c)) {
            const auto at = offset + static_cast<int32_t>(i);
            lineLetters.push_back({0, upper(c), at, at + 1});
            ++i;
        } else {
            error = std::string("unexpected character '") + c + "'";
            return false;
        }
    }
    if (!lineNumbers.empty() && !lineLetters.empty()) {
        error = "a line mixes tile numbers and letters";
        return false;
    }
    numbers.insert(numbers.end(), lineNumbers.begin(), lineNumbers.end());
    letters.insert(letters.end(), lineLetters.begin(), lineLetters.end());
    return true;
}

}  // namespace

ParsedMoves parseMoves(std::string_view text) {
    ParsedMoves parsed;
    std::vector<WrittenMove> numbers;
    std::vector<WrittenMove> letters;
    int32_t offset = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (!parseLine(line, offset, numbers, letters, parsed.error)) return parsed;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
        offset += static_cast<int32_t>(end + 1);
    }
    parsed.moves = numbers.empty() ? letters : numbers;
    parsed.ok = true;
    return parsed;
}

char directionOfMove(int32_t blank, int32_t from) {
    return directionLetter(slideDirection(from, blank));
}

int32_t moveCell(const Board& board, int32_t blank, WrittenMove move) {
    if (blank < 0 || blank > 15) return -1;
    const auto z = static_cast<std::size_t>(blank);
    for (int32_t k = 0; k < neighborCount[z]; ++k) {
        const int32_t n = neighbors[z][static_cast<std::size_t>(k)];
        const bool matches = move.tile != 0 ? board[static_cast<std::size_t>(n)] == move.tile
                                            : directionOfMove(blank, n) == move.direction;
        if (matches) return n;
    }
    return -1;
}

}  // namespace fifteen
