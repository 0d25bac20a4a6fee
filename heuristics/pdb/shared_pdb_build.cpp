#include "heuristics/pdb/shared_pdb_build.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace fifteen {

namespace {

constexpr std::size_t layerBytes = static_cast<std::size_t>(layerWordCount) * sizeof(uint32_t);

uint32_t* allocateLayer() {
    auto* words = static_cast<uint32_t*>(pdbAllocator(layerBytes));
    if (words != nullptr) std::memset(words, 0, layerBytes);
    return words;
}

}  // namespace

SharedPdbBuild::SharedPdbBuild(int32_t chunkWords)
    : chunkWords_(std::max(chunkWords, int32_t{1})),
      chunkCount_((layerWordCount + chunkWords_ - 1) / chunkWords_) {}

SharedPdbBuild::~SharedPdbBuild() {
    release();
}

void SharedPdbBuild::release() {
    std::free(visited_);
    std::free(current_);
    std::free(next_);
    visited_ = current_ = next_ = nullptr;
    for (uint32_t*& part : parts_) {
        std::free(part);
        part = nullptr;
    }
}

bool SharedPdbBuild::stopRequested() const {
    return stop_ != nullptr && stop_->load(std::memory_order_relaxed);
}

bool SharedPdbBuild::ended() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return state_ == State::ended;
}

int32_t SharedPdbBuild::helperCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return slotsTaken_;
}

// No helper is inside a phase now, and none enters one after this.
void SharedPdbBuild::end() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        state_ = State::ended;
    }
    opened_.notify_all();
    release();
}

void SharedPdbBuild::work(Phase phase, int32_t slot, PatternBoard& scratch) {
    uint32_t* const own = slot == 0 ? next_ : parts_[slot - 1];
    const LayerMerge merge{visited_, current_, next_, parts_, mergeParts_, entries_, depth_};
    int64_t taken = 0;
    int32_t count = 0;
    for (;;) {
        const int32_t chunk = cursor_.fetch_add(1, std::memory_order_relaxed);
        if (chunk >= chunkCount_) break;
        const int32_t begin = chunk * chunkWords_;
        const int32_t end = std::min(begin + chunkWords_, layerWordCount);
        if (phase == Phase::expand) {
            taken += expandLayerWords(scratch, visited_, current_, own, begin, end);
        } else {
            count += mergeLayerWords(merge, begin, end);
        }
    }
    if (taken != 0) expanded_.fetch_add(taken, std::memory_order_relaxed);
    if (count != 0) layerCount_.fetch_add(count, std::memory_order_relaxed);
}

void SharedPdbBuild::runPhase(Phase phase, PatternBoard& scratch) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        phase_ = phase;
        ++epoch_;
        if (phase == Phase::merge) mergeParts_ = slotsTaken_;
        cursor_.store(0, std::memory_order_relaxed);
    }
    opened_.notify_all();
    work(phase, 0, scratch);
    std::unique_lock<std::mutex> lock(mutex_);
    left_.wait(lock, [this] { return working_ == 0; });
    phase_ = Phase::none;
}

int32_t SharedPdbBuild::build(PatternDb& db, PatternBoard& scratch, const PdbBuildOptions& options,
                              int32_t helperSlots) {
    stop_ = options.stop;
    helperSlots_ = std::clamp(helperSlots, int32_t{0}, maxPdbHelpers);
    bool allocated = db.entries != nullptr;
    if (allocated) {
        visited_ = allocateLayer();
        current_ = allocateLayer();
        next_ = allocateLayer();
        allocated = visited_ != nullptr && current_ != nullptr && next_ != nullptr;
        for (int32_t k = 0; allocated && k < helperSlots_; ++k) {
            parts_[k] = allocateLayer();
            allocated = parts_[k] != nullptr;
        }
    }
    if (!allocated) {
        end();
        return pdbBuildFailed;
    }
    PdbLayerSizes* const layerSizes = options.layerSizes;
    if (layerSizes != nullptr) layerSizes->fill(0);
    entries_ = db.entries;
    const PdbIndex goal = rankPattern(scratch);
    entries_[goal] = 0;
    visited_[goal >> 5] |= 1u << (goal & 31);
    current_[goal >> 5] |= 1u << (goal & 31);
    if (layerSizes != nullptr) (*layerSizes)[0] = 1;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        state_ = State::building;
    }

    int32_t depth = 1;
    bool halted = false;
    for (;; ++depth) {
        halted = stopRequested();
        if (halted) break;
        depth_ = depth;
        layerCount_.store(0, std::memory_order_relaxed);
        runPhase(Phase::expand, scratch);
        runPhase(Phase::merge, scratch);
        const int32_t reached = layerCount_.load(std::memory_order_relaxed);
        if (reached == 0) break;
        if (layerSizes != nullptr && depth < static_cast<int32_t>(layerSizes->size())) {
            (*layerSizes)[static_cast<std::size_t>(depth)] = reached;
        }
        // The merge cleared current: it becomes the next layer.
        std::swap(current_, next_);
    }
    if (options.expandedStates != nullptr) {
        *options.expandedStates += expanded_.load(std::memory_order_relaxed);
    }
    end();
    return halted ? pdbBuildStopped : depth - 1;
}

bool SharedPdbBuild::help() {
    PatternBoard scratch{};
    std::unique_lock<std::mutex> lock(mutex_);
    int64_t seen = 0;
    int32_t slot = 0;
    for (;;) {
        opened_.wait(lock, [&] {
            return state_ == State::ended || (phase_ != Phase::none && epoch_ != seen);
        });
        if (state_ == State::ended) return slot != 0;
        if (stopRequested()) return false;
        if (slot == 0) {
            if (slotsTaken_ == helperSlots_) return false;
            slot = ++slotsTaken_;
        }
        seen = epoch_;
        const Phase phase = phase_;
        ++working_;
        lock.unlock();
        work(phase, slot, scratch);
        lock.lock();
        if (--working_ == 0) left_.notify_one();
    }
}

}  // namespace fifteen
