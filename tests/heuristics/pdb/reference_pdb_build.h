#pragma once

#include <cstdint>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/pattern_index.h"

namespace fifteen::testing {

// The oracle of the program's build (SharedPdbBuild): a plain one-thread
// breadth-first search from the pattern in scratch (a goal pattern on entry; of
// no use on return), one successor at a time, without the build's unrolled
// kernel, its shared layer sets or its merge. A side move is ranked by
// rankAfterSideMove (checked against rankPattern in pattern_index_test), any
// other afresh. Writes every entry of db; fills layers (when given) as
// PdbBuildOptions::layerSizes and adds the states it expanded to expanded (when
// given). Returns the largest distance stored. The rank tables must be filled.
int32_t referencePdbBuild(PatternDb& db, PatternBoard& scratch, PdbLayerSizes* layers = nullptr,
                          int64_t* expanded = nullptr);

}  // namespace fifteen::testing
