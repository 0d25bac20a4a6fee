#pragma once

// The solver's table set over a table-set type: the one place a type is turned
// into a search. A new set is a new type and one object of TableSetOf<Type>;
// nothing in the search changes.

#include "heuristics/wd/wd_eval.h"
#include "search/depth_first_search.h"
#include "search/solver_state.h"
#include "search/table_set.h"

namespace fifteen {

template <class Tables>
class TableSetOf final : public TableSet {
  public:
    explicit TableSetOf(Tables tables = {}) : tables_(tables) {}

    const char* name() const override { return Tables::name; }

    NodeBounds boundsOf(const Board& board) const override {
        NodeBounds bounds{};
        bounds.rowRecord = findRowRecord(Tables::wd(), board);
        bounds.columnRecord = findColumnRecord(Tables::wd(), board);
        bounds.wd = bounds.rowRecord->distance + bounds.columnRecord->distance;
        bounds.pdb = tables_.lookup(board, bounds.pdbMaxDepth);
        return bounds;
    }

    int32_t search(Board& board, int32_t blank, int32_t prevBlank, const NodeBounds& start,
                   int32_t bound, int32_t* path, SearchContext& context) const override {
        const int32_t nextCheckDepth =
            Tables::firstCheckDepth(start.wd, start.pdb, start.pdbMaxDepth, bound);
        return depthFirstSearch(tables_, board, blank, prevBlank, *start.rowRecord,
                                *start.columnRecord, 0, bound, nextCheckDepth, path, context);
    }

    int32_t sharedLayerTarget() const override {
        if constexpr (requires { Tables::sharedLayerTarget; }) {
            return Tables::sharedLayerTarget;
        } else {
            return sharedItemTarget;
        }
    }

    const Tables& tables() const { return tables_; }

  private:
    Tables tables_;
};

}  // namespace fifteen
