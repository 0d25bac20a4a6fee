#include "search/preparation.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <system_error>
#include <utility>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/pattern_index.h"
#include "heuristics/pdb/shared_pdb_build.h"
#include "heuristics/wd/wd_table.h"
#include "search/solver_state.h"

namespace fifteen {

namespace {

std::thread startPlainThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

}  // namespace

PreparationThreadStarter preparationThreadStarter = &startPlainThread;

Preparation::Preparation() = default;

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
    builds_.reset(new (std::nothrow) SharedPdbBuild[2]);
    if (builds_ == nullptr) return false;
    if (!allocatePatternDb(patternDbA)) return false;
    if (!allocatePatternDb(patternDbB)) {
        releasePatternDb(patternDbA);
        return false;
    }
    started_ = true;
    onDone_ = std::move(onDone);
    fillRankTables();
    int32_t limit = threadLimit_;
    if (limit <= 0) limit = static_cast<int32_t>(std::thread::hardware_concurrency());
    limit = std::clamp(limit, int32_t{1}, maxThreads);
    static_assert(maxThreads - 1 <= maxPdbHelpers,
                  "a database may be joined by every other thread");
    // Either database may be joined by the other's thread, the walking-distance
    // thread and the extra threads.
    helperSlots_ = std::max(limit - 1, int32_t{1});
    try {
        threads_[0] = preparationThreadStarter([this] { runPatternDb(PreparedTable::patternDbA); });
        threads_[1] = preparationThreadStarter([this] { runPatternDb(PreparedTable::patternDbB); });
        const bool wdHelps = limit >= 3;
        threads_[2] = preparationThreadStarter([this, wdHelps] { runWdTable(wdHelps); });
        for (int32_t t = 3; t < limit; ++t) {
            threads_[t] = preparationThreadStarter([this] { runHelper(); });
        }
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
void Preparation::runPatternDb(PreparedTable table) {
    if (!waitForAllThreads()) return;
    const bool isA = table == PreparedTable::patternDbA;
    PatternBoard scratch = isA ? goalPatternA : goalPatternB;
    PdbBuildOptions options;
    options.stop = &stop_;
    PatternDb& db = isA ? patternDbA : patternDbB;
    const int32_t depth = builds_[isA ? 0 : 1].build(db, scratch, options, helperSlots_);
    const bool ok = depth >= 0;
    if (ok) {
        db.maxDepth = depth;
        (isA ? solverState.maxDepthA : solverState.maxDepthB) = depth;
    }
    finish(table, ok);
    helpDatabases();
}

// A few milliseconds: not worth a stop test of its own.
void Preparation::runWdTable(bool helps) {
    if (!waitForAllThreads()) return;
    finish(PreparedTable::wdTable, buildWdTable(wdTable));
    if (helps) helpDatabases();
}

void Preparation::runHelper() {
    if (!waitForAllThreads()) return;
    helpDatabases();
}

// Joins the unfinished database with fewer helpers until both have ended; a
// build that turned this thread away (its slots taken, or a stop) is not tried
// again.
void Preparation::helpDatabases() {
    bool refused[2] = {false, false};
    for (;;) {
        if (stop_.load(std::memory_order_relaxed)) return;
        SharedPdbBuild* pick = nullptr;
        std::size_t picked = 0;
        for (std::size_t k = 0; k < 2; ++k) {
            if (refused[k] || builds_[k].ended()) continue;
            if (pick == nullptr || builds_[k].helperCount() < pick->helperCount()) {
                pick = &builds_[k];
                picked = k;
            }
        }
        if (pick == nullptr) return;
        if (!pick->help()) refused[picked] = true;
    }
}

void releasePatternDbs() {
    releasePatternDb(patternDbA);
    releasePatternDb(patternDbB);
}

}  // namespace fifteen
