#pragma once

// When a search looks its databases up: not at every node, only where a value
// could prune.

#include <cstdint>

namespace fifteen {

// As a check depth: never look the databases up (no search reaches this depth).
inline constexpr int32_t neverCheckDepth = 82;

// The depth of the next lookup after one at depth lookupDepth gave p from a
// database whose largest distance is maxDepth: the first depth at which a value
// rising by one per move from p, but never above maxDepth, could exceed bound.
inline int32_t scheduleCheckDepth(int32_t lookupDepth, int32_t p, int32_t maxDepth, int32_t bound) {
    int32_t q = p;
    int32_t d = lookupDepth;
    do {
        ++d;
        if (q < maxDepth) ++q;
    } while (d + q <= bound);
    return d;
}

}  // namespace fifteen
