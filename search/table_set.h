#pragma once

// A table set as the solver holds it: the bounds a search is built on, behind one
// interface, so that the frontier, both parallel designs and the solve job are
// written once for every set. The depth-first search itself is a template on the
// set's type (search/table_set_of.h), so the inner loop pays no indirect call;
// these calls come once per node searched from, not per node of a search.

#include <cstdint>

#include "heuristics/wd/wd_table.h"
#include "puzzle/board.h"

namespace fifteen {

struct SearchContext;

// A node's start values: its walking-distance records, their distance, and the
// database bound with the largest distance of the database that gave it.
struct NodeBounds {
    const WdRecord* rowRecord;
    const WdRecord* columnRecord;
    int32_t wd;
    int32_t pdb;
    int32_t pdbMaxDepth;
};

class TableSet {
  public:
    virtual ~TableSet() = default;
    virtual const char* name() const = 0;
    // The start values of a board with exactly one of each value 0..15.
    virtual NodeBounds boundsOf(const Board& board) const = 0;
    // One bounded depth-first search (search/depth_first_search.h) from a node
    // with these start values, its lookups scheduled from the root.
    virtual int32_t search(Board& board, int32_t blank, int32_t prevBlank, const NodeBounds& start,
                           int32_t bound, int32_t* path, SearchContext& context) const = 0;
    // The layer shared deepening searches (buildSharedFrontier's layerTarget).
    // A strong bound leaves searches of some thousand nodes an item at most,
    // where a large layer costs more than its balance gains.
    virtual int32_t sharedLayerTarget() const = 0;
};

// The walking distance and the two 5+5 databases over the program's tables.
const TableSet& defaultTableSet();

}  // namespace fifteen
