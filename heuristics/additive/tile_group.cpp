#include "heuristics/additive/tile_group.h"

#include <cassert>

namespace fifteen {

uint32_t rankGroupCells(const uint8_t* cells, int32_t size) {
    assert(size >= 1 && size <= maxGroupSize);
    uint32_t rank = 0;
    for (int32_t i = 0; i < size; ++i) {
        uint32_t digit = cells[i];
        for (int32_t j = 0; j < i; ++j) digit -= uint32_t{cells[j] < cells[i]};
        rank = rank * static_cast<uint32_t>(16 - i) + digit;
    }
    return rank;
}

uint32_t unrankGroupCells(uint32_t rank, int32_t size, uint8_t* cells) {
    assert(size >= 1 && size <= maxGroupSize);
    uint32_t digits[maxGroupSize];
    for (int32_t i = size - 1; i >= 0; --i) {
        const auto radix = static_cast<uint32_t>(16 - i);
        digits[i] = rank % radix;
        rank /= radix;
    }
    uint32_t used = 0;
    for (int32_t i = 0; i < size; ++i) {
        // The digit-th free cell, counting from cell 0.
        uint32_t cell = 0;
        for (uint32_t left = digits[i];; ++cell) {
            if ((used >> cell & 1u) != 0) continue;
            if (left == 0) break;
            --left;
        }
        cells[i] = static_cast<uint8_t>(cell);
        used |= 1u << cell;
    }
    return used;
}

}  // namespace fifteen
