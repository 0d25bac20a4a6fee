#pragma once

// A pattern-database build that other threads can join while it runs, so that a
// thread whose own table is done need not idle while a database still builds.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "heuristics/pdb/pattern_db.h"

namespace fifteen {

// Threads that may join one build besides the one that runs it.
inline constexpr int32_t maxPdbHelpers = 15;

// Words of a layer set taken at a time: 16,384 states, a fraction of a
// millisecond, so that the threads of a layer end it at nearly the same moment.
inline constexpr int32_t defaultChunkWords = 512;

// Each layer runs in two phases, and every thread in a phase takes ranges of
// chunkWords words from a shared cursor until none is left: expansion (visited
// only read, each thread writes a next-layer set of its own), then the merge (each
// range of words ORed together, added to visited, its entries written). With no
// helper it is a plain one-thread breadth-first build. An object serves one
// build.
class SharedPdbBuild {
  public:
    explicit SharedPdbBuild(int32_t chunkWords = defaultChunkWords);
    SharedPdbBuild(const SharedPdbBuild&) = delete;
    SharedPdbBuild& operator=(const SharedPdbBuild&) = delete;
    ~SharedPdbBuild();

    // Run by one thread: breadth-first search from the pattern in scratch (a goal
    // pattern on entry; of no use on return) over all pattern states, writing
    // every entry of db. A null db is refused (pdbBuildFailed), never built into.
    // The rank tables must be filled. Returns the largest distance stored,
    // pdbBuildFailed or pdbBuildStopped. Up to helperSlots threads (at most
    // maxPdbHelpers) may join through help; a next-layer set for each is
    // allocated with the build's own, and a failed allocation fails the build. Options' stop is
    // read by every thread of the build before each layer; expandedStates and layerSizes are
    // written by this thread only.
    int32_t build(PatternDb& db, PatternBoard& scratch, const PdbBuildOptions& options,
                  int32_t helperSlots);

    // Works on the build's layers until it ends. Waits if the build has not begun.
    // False, at once, when the helper slots are taken or the build ended before it
    // joined; false too when it left at a stop.
    bool help();

    bool ended() const;
    int32_t helperCount() const;  // helpers that have joined so far

  private:
    enum class Phase { none, expand, merge };
    enum class State { waiting, building, ended };

    void runPhase(Phase phase, PatternBoard& scratch);
    void work(Phase phase, int32_t slot, PatternBoard& scratch);
    bool stopRequested() const;
    void end();
    void release();

    const int32_t chunkWords_;
    const int32_t chunkCount_;

    // Written by the building thread only while no helper is inside a phase, and
    // handed to the helpers by mutex_ (they read them after entering a phase
    // under it).
    uint32_t* visited_ = nullptr;
    uint32_t* current_ = nullptr;
    uint32_t* next_ = nullptr;
    uint32_t* parts_[maxPdbHelpers] = {};
    int32_t helperSlots_ = 0;
    uint8_t* entries_ = nullptr;
    int32_t depth_ = 0;
    int32_t mergeParts_ = 0;  // the parts a merge must read: those handed out before it
    const std::atomic<bool>* stop_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable opened_;  // a phase opened, or the build ended
    std::condition_variable left_;    // the last helper left a phase
    // Guarded by mutex_.
    State state_ = State::waiting;
    Phase phase_ = Phase::none;
    int64_t epoch_ = 0;    // phases opened so far
    int32_t working_ = 0;  // helpers inside the open phase
    int32_t slotsTaken_ = 0;

    // The chunk number, and the sums each thread adds once per phase. Relaxed:
    // they hand over no data; the bitsets written in a phase reach the next one,
    // and these sums the building thread, through mutex_ (a helper leaves a phase
    // under it, and the next phase opens under it after all have left).
    std::atomic<int32_t> cursor_{0};
    std::atomic<int32_t> layerCount_{0};
    std::atomic<int64_t> expanded_{0};
};

}  // namespace fifteen
