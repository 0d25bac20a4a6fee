#pragma once

// The first table set: the walking distance and the two 5+5 pattern databases,
// the larger of the three values bounding a board. Both kinds of value count
// moves that any solution must make (a tile walking between lines, a group's
// tiles reaching their cells), so each, and their maximum, is admissible.

#include <cstdint>

#include "heuristics/pdb/check_schedule.h"
#include "heuristics/pdb/pattern_db.h"
#include "heuristics/wd/wd_table.h"
#include "puzzle/board.h"

namespace fifteen {

// What the search asks of a table set, as a type it is instantiated on: the
// walking-distance table it carries along every move, the database lookup, and
// the schedule of the lookups. A value type: it only refers to the tables.
struct WdPdb55Tables {
    static constexpr const char* name = "WD + PDB 5+5";

    const PatternDb* a = &patternDbA;  // the program's databases unless told
    const PatternDb* b = &patternDbB;

    // One table for every set: the process's own, so its address is a constant
    // in the inner loop.
    static const WdTable& wd() { return wdTable; }

    // The database bound of a board; maxDepth receives the largest distance of
    // the database that gave it.
    int32_t lookup(const Board& board, int32_t& maxDepth) const {
        return lookupPatternDbs(board, *a, *b, maxDepth);
    }

    // The first lookup depth of a search from a node with walking distance wd and
    // database value p: none when the databases do not bound it more tightly.
    static int32_t firstCheckDepth(int32_t wd, int32_t p, int32_t maxDepth, int32_t bound) {
        return wd >= p ? neverCheckDepth : scheduleCheckDepth(0, p, maxDepth, bound);
    }
    // After a lookup at depth gave p to a child of walking distance wd. A tie keeps
    // the lookups here, unlike at the start of a search; the node counts of the
    // search are those of exactly these two rules.
    static int32_t nextCheckDepth(int32_t depth, int32_t wd, int32_t p, int32_t maxDepth,
                                  int32_t bound) {
        return wd > p ? neverCheckDepth : scheduleCheckDepth(depth, p, maxDepth, bound);
    }
};

}  // namespace fifteen
