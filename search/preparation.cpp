#include "search/preparation.h"

#include <cstddef>
#include <system_error>
#include <utility>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/pattern_index.h"
#include "heuristics/wd/wd_table.h"
#include "search/solver_state.h"

namespace fifteen {

namespace {

std::thread startPlainThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

}  // namespace

PreparationThreadStarter preparationThreadStarter = &startPlainThread;

Preparation::~Preparation() {
    requestStop();
    join();
}

void Preparation::requestStop() {
    stop_.store(true, std::memory_order_relaxed);
}

void Preparation::openGate(bool go) {
    {
        const std::lock_guard<std::mutex> lock(gateMutex_);
        gate_ = go ? Gate::go : Gate::abandon;
    }
    gateOpened_.notify_all();
}

bool Preparation::waitForAllThreads() {
    std::unique_lock<std::mutex> lock(gateMutex_);
    gateOpened_.wait(lock, [this] { return gate_ != Gate::closed; });
    return gate_ == Gate::go;
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
    try {
        threads_[0] = preparationThreadStarter([this] { runPatternDbA(); });
        threads_[1] = preparationThreadStarter([this] { runPatternDbB(); });
        threads_[2] = preparationThreadStarter([this] { runWdTable(); });
    } catch (const std::system_error&) {
        // The threads that exist leave without building; nothing is reported.
        threadStartFailed_ = true;
        openGate(false);
        join();
        releasePatternDbs();
        return false;
    }
    openGate(true);
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
    if (!waitForAllThreads()) return;
    PatternBoard scratch = goalPatternA;
    PdbBuildOptions options;
    options.stop = &stop_;
    const int32_t depth = buildPatternDb(patternDbA, scratch, options);
    const bool ok = depth >= 0;
    if (ok) solverState.maxDepthA = depth;
    finish(PreparedTable::patternDbA, ok);
}

void Preparation::runPatternDbB() {
    if (!waitForAllThreads()) return;
    PatternBoard scratch = goalPatternB;
    PdbBuildOptions options;
    options.stop = &stop_;
    const int32_t depth = buildPatternDb(patternDbB, scratch, options);
    const bool ok = depth >= 0;
    if (ok) solverState.maxDepthB = depth;
    finish(PreparedTable::patternDbB, ok);
}

// A few milliseconds: not worth a stop test of its own.
void Preparation::runWdTable() {
    if (!waitForAllThreads()) return;
    finish(PreparedTable::wdTable, buildWdTable(wdTable));
}

void releasePatternDbs() {
    releasePatternDb(patternDbA);
    releasePatternDb(patternDbB);
}

}  // namespace fifteen
