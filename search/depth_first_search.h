#pragma once

#include <atomic>
#include <cstdint>

#include "heuristics/wd/wd_table.h"
#include "puzzle/board.h"

namespace fifteen {

inline constexpr int32_t searchNotFound = 0;
inline constexpr int32_t searchFound = 1;
inline constexpr int32_t searchStopped = 4;

// What a search reads besides its arguments, and what it counts. One per worker;
// nothing in it is shared, so counting costs no more than an increment.
struct SearchContext {
    // The shared stop value: a search whose bound is not below it returns at once.
    const std::atomic<int32_t>* bestLength;
    uint64_t nodes;  // depthFirstSearch calls, counted on entry
};

// One bounded depth-first search from the board (blank in cell blank), whose
// walking-distance records rowRecord and columnRecord are records of wdTable.
// Returns searchFound with path[depth ..] holding the moves to the goal,
// searchNotFound, or searchStopped when bound was not below *bestLength at some
// call. nextCheckDepth is the depth of the next child whose pattern databases are
// looked up (neverCheckDepth: walking distance alone). The board is unchanged on
// return. Moves back into prevBlank are never generated (-1: every move).
int32_t depthFirstSearch(Board& board, int32_t blank, int32_t prevBlank, const WdRecord& rowRecord,
                         const WdRecord& columnRecord, int32_t depth, int32_t bound,
                         int32_t nextCheckDepth, int32_t* path, SearchContext& context);

// The depth of the next lookup after one at depth lookupDepth gave p from a
// database whose largest distance is maxDepth: the first depth at which a value
// rising by one per move from p, but never above maxDepth, could exceed bound.
int32_t scheduleCheckDepth(int32_t lookupDepth, int32_t p, int32_t maxDepth, int32_t bound);

}  // namespace fifteen
