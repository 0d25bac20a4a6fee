#include "puzzle/position_parser.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fifteen {
namespace {

bool isBlankSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Shown in messages; bytes outside printable ASCII are escaped so a message about
// binary garbage stays one readable line.
std::string shown(std::string_view token) {
    constexpr std::size_t shownLimit = 20;
    std::string out;
    for (std::size_t i = 0; i < token.size() && i < shownLimit; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            constexpr const char* hex = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    if (token.size() > shownLimit) out += "...";
    return out;
}

// Built by appending: GCC 12 gives a false -Wrestrict alarm on "'" + string.
std::string quoted(std::string_view token) {
    std::string out(1, '\'');
    out += shown(token);
    out += '\'';
    return out;
}

// A decimal integer with an optional sign; saturates far outside 0..15 so huge
// numbers stay out of range instead of overflowing.
bool readInteger(std::string_view token, int64_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (token[0] == '+' || token[0] == '-') {
        negative = token[0] == '-';
        i = 1;
    }
    if (i == token.size()) return false;
    int64_t v = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9') return false;
        if (v < 1000000) v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

}  // namespace

ParsedPosition parsePosition(std::string_view text) {
    ParsedPosition result;
    std::vector<int64_t> values;
    std::vector<std::size_t> rowSizes{0};
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isBlankSeparator(c)) {
            ++i;
            continue;
        }
        if (c == '#') {
            while (i < text.size() && text[i] != '\n') ++i;
            continue;
        }
        if (c == '/') {
            rowSizes.push_back(0);
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !isBlankSeparator(text[end]) && text[end] != '/' &&
               text[end] != '#') {
            ++end;
        }
        const std::string_view token = text.substr(i, end - i);
        int64_t value = 0;
        if (!readInteger(token, value)) {
            result.error = quoted(token) + " is not a number";
            return result;
        }
        if (value < 0 || value > 15) {
            result.error = "value " + shown(token) + " is outside 0..15";
            return result;
        }
        values.push_back(value);
        ++rowSizes.back();
        i = end;
    }
    if (values.size() != 16) {
        result.error = std::to_string(values.size()) +
                       (values.size() == 1 ? " number" : " numbers") + ", expected 16";
        return result;
    }
    if (rowSizes.size() > 1) {
        if (rowSizes.size() != 4) {
            result.error = std::to_string(rowSizes.size()) + " rows separated by '/', expected 4";
            return result;
        }
        for (std::size_t row = 0; row < 4; ++row) {
            if (rowSizes[row] != 4) {
                result.error = "row " + std::to_string(row + 1) + " has " +
                               std::to_string(rowSizes[row]) + " numbers, expected 4";
                return result;
            }
        }
    }
    unsigned seen = 0;
    for (const int64_t value : values) seen |= 1u << value;
    unsigned repeated = 0;
    for (std::size_t cell = 0; cell < 16; ++cell) {
        const auto value = static_cast<int32_t>(values[cell]);
        const unsigned bit = 1u << value;
        if ((repeated & bit) != 0) {
            int32_t missing = 0;
            while ((seen & (1u << missing)) != 0) ++missing;
            result.error =
                (value == 0 ? std::string("the blank (0)") : "tile " + std::to_string(value)) +
                " occurs more than once (" +
                (missing == 0 ? std::string("no blank")
                              : "tile " + std::to_string(missing) + " is missing") +
                ")";
            return result;
        }
        repeated |= bit;
        result.board[cell] = value;
    }
    result.ok = true;
    return result;
}

std::string formatPosition(const Board& board) {
    std::string out;
    for (std::size_t cell = 0; cell < 16; ++cell) {
        if (cell > 0) out += cell % 4 == 0 ? " / " : " ";
        out += std::to_string(board[cell]);
    }
    return out;
}

}  // namespace fifteen
