#include "search/preparation.h"

#include <cstddef>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/pattern_index.h"
#include "heuristics/wd/wd_table.h"
#include "search/solver_state.h"

namespace fifteen {

Preparation::~Preparation() {
    join();
}

bool Preparation::start(PreparationCallback onDone) {
    // Refused while the program's databases exist, so a second start never leaks
    // or rebuilds them.
    if (started_ || patternDbA.entries != nullptr || patternDbB.entries != nullptr) return false;
    if (!allocatePatternDb(patternDbA)) return false;
    if (!allocatePatternDb(patternDbB)) {
        releasePatternDb(patternDbA);
        return false;
    }
    started_ = true;
    onDone_ = std::move(onDone);
    fillRankTables();
    threads_[0] = std::thread(&Preparation::runPatternDbA, this);
    threads_[1] = std::thread(&Preparation::runPatternDbB, this);
    threads_[2] = std::thread(&Preparation::runWdTable, this);
    return true;
}

void Preparation::join() {
    for (std::thread& thread : threads_) {
        if (thread.joinable()) thread.join();
    }
}

bool Preparation::succeeded(PreparedTable table) const {
    return succeeded_[static_cast<std::size_t>(table)].load(std::memory_order_acquire);
}

bool Preparation::allSucceeded() const {
    return succeeded(PreparedTable::patternDbA) && succeeded(PreparedTable::patternDbB) &&
           succeeded(PreparedTable::wdTable);
}

void Preparation::finish(PreparedTable table, bool ok) {
    succeeded_[static_cast<std::size_t>(table)].store(ok, std::memory_order_release);
    if (onDone_) onDone_(table);
}

// Each build works on a scratch pattern of its own.
void Preparation::runPatternDbA() {
    PatternBoard scratch = goalPatternA;
    const int32_t depth = buildPatternDb(patternDbA, scratch);
    if (depth != pdbBuildFailed) solverState.maxDepthA = depth;
    finish(PreparedTable::patternDbA, depth != pdbBuildFailed);
}

void Preparation::runPatternDbB() {
    PatternBoard scratch = goalPatternB;
    const int32_t depth = buildPatternDb(patternDbB, scratch);
    if (depth != pdbBuildFailed) solverState.maxDepthB = depth;
    finish(PreparedTable::patternDbB, depth != pdbBuildFailed);
}

void Preparation::runWdTable() {
    finish(PreparedTable::wdTable, buildWdTable(wdTable));
}

void releasePatternDbs() {
    releasePatternDb(patternDbA);
    releasePatternDb(patternDbB);
}

}  // namespace fifteen
