#include "heuristics/additive/group_db_build.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <type_traits>

namespace fifteen {

namespace {

// Cell masks: bit c stands for cell c.
constexpr uint32_t allCells = 0xFFFF;
constexpr uint32_t column0 = 0x1111;
constexpr uint32_t column3 = 0x8888;

constexpr uint32_t adjacentCells(uint32_t m) {
    return ((m << 4) | (m >> 4) | ((m << 1) & ~column0) | ((m >> 1) & ~column3)) & allCells;
}
static_assert(adjacentCells(1u << 5) == ((1u << 1) | (1u << 4) | (1u << 6) | (1u << 9)));
static_assert(adjacentCells(1u << 3) == ((1u << 2) | (1u << 7)));

// The cells of free reachable from the cells of seed.
uint32_t floodRegion(uint32_t seed, uint32_t free) {
    uint32_t region = seed;
    for (;;) {
        const uint32_t grown = (region | adjacentCells(region)) & free;
        if (grown == region) return region;
        region = grown;
    }
}

constexpr std::array<uint8_t, 256> bitCounts = [] {
    std::array<uint8_t, 256> counts{};
    for (std::size_t i = 0; i < 256; ++i) {
        counts[i] = static_cast<uint8_t>((i & 1) + (i >> 1 & 1) + (i >> 2 & 1) + (i >> 3 & 1) +
                                         (i >> 4 & 1) + (i >> 5 & 1) + (i >> 6 & 1) + (i >> 7 & 1));
    }
    return counts;
}();

uint32_t countCells(uint32_t m) {
    return uint32_t{bitCounts[m & 0xFF]} + bitCounts[m >> 8 & 0xFF];
}

// A state set holds one slot per placement: bit k of the slot is the k-th free
// cell of the placement in increasing order. Between two layers a set holds whole
// regions only.
template <class Slot>
Slot slotOf(uint32_t cells, uint32_t free) {
    Slot slot = 0;
    Slot bit = 1;
    for (uint32_t f = free; f != 0; f &= f - 1, bit = static_cast<Slot>(bit << 1)) {
        if ((cells & f & (0u - f)) != 0) slot = static_cast<Slot>(slot | bit);
    }
    return slot;
}

template <class Slot>
uint32_t cellsOf(Slot slot, uint32_t free) {
    uint32_t cells = 0;
    for (uint32_t f = free; slot != 0; f &= f - 1, slot = static_cast<Slot>(slot >> 1)) {
        if ((slot & 1) != 0) cells |= f & (0u - f);
    }
    return cells;
}

constexpr int64_t chunkPlacements = 1 << 16;

// A successor of a region, kept until the visited slots of all successors of
// the region have been asked for: the misses of a table far larger than the
// caches then overlap instead of following one another.
struct Successor {
    uint32_t placement;
    uint16_t free;  // the free cells of the successor
    uint8_t from;   // the cell the tile left, now the blank's
    uint8_t probe;  // from's slot bit: whole regions, so one bit tells
};

template <int32_t Size>
class LayeredBuild {
  public:
    // Eight free cells or fewer fit a byte.
    using Slot = std::conditional_t<(16 - Size <= 8), uint8_t, uint16_t>;

    LayeredBuild(const TileGroup& group, uint8_t* entries, const GroupBuildOptions& options)
        : group_(group),
          entries_(entries),
          options_(options),
          threads_(std::clamp(options.threads, int32_t{1}, maxThreads)) {}
    ~LayeredBuild() {
        std::free(visited_);
        std::free(current_);
        for (Slot* next : next_) std::free(next);
    }

    int32_t run();

  private:
    static constexpr int32_t maxThreads = 16;

    void expand(Slot* next, int64_t begin, int64_t end) const;
    void merge(int64_t begin, int64_t end, uint8_t depth, int64_t& reached, int64_t& states);
    bool stopRequested() const {
        return options_.stop != nullptr && options_.stop->load(std::memory_order_relaxed);
    }
    template <class Work>
    void runPhase(const Work& work);

    const TileGroup group_;
    uint8_t* const entries_;
    const GroupBuildOptions& options_;
    const int32_t threads_;
    static constexpr int64_t count_ = groupEntryCount(Size);
    Slot* visited_ = nullptr;
    Slot* current_ = nullptr;
    // One next layer per thread, so that the expansion writes with plain stores
    // (a locked OR on a missed line would stall the misses behind it).
    std::vector<Slot*> next_;
    // The next range of a phase. Relaxed: it hands over no data; each phase's
    // sets reach the next phase through the joins of its threads.
    std::atomic<int64_t> cursor_{0};
};

template <int32_t Size>
template <class Work>
void LayeredBuild<Size>::runPhase(const Work& work) {
    cursor_.store(0, std::memory_order_relaxed);
    const auto body = [&](int32_t thread) {
        for (;;) {
            if (stopRequested()) return;
            const int64_t begin = cursor_.fetch_add(chunkPlacements, std::memory_order_relaxed);
            if (begin >= count_) return;
            work(thread, begin, std::min(begin + chunkPlacements, count_));
        }
    };
    std::vector<std::thread> helpers;
    for (int32_t k = 1; k < threads_; ++k) helpers.emplace_back(body, k);
    body(0);
    for (std::thread& helper : helpers) helper.join();
}

template <int32_t Size>
void LayeredBuild<Size>::expand(Slot* next, int64_t begin, int64_t end) const {
    uint8_t cells[maxGroupSize];
    Successor successors[4 * maxGroupSize];
    for (int64_t p = begin; p < end; ++p) {
        const Slot slot = current_[p];
        if (slot == 0) continue;
        const uint32_t free = ~unrankGroupCells(static_cast<uint32_t>(p), Size, cells) & allCells;
        uint32_t left = cellsOf(slot, free);
        while (left != 0) {
            const uint32_t region = floodRegion(left & (0u - left), free);
            left &= ~region;
            int32_t n = 0;
            for (int32_t i = 0; i < Size; ++i) {
                const uint8_t from = cells[i];
                const uint32_t fromBit = 1u << from;
                // The tile steps into a cell of the blank's region; the blank is
                // then where the tile was.
                for (uint32_t to = adjacentCells(fromBit) & region; to != 0; to &= to - 1) {
                    const uint32_t toBit = to & (0u - to);
                    cells[i] = static_cast<uint8_t>(countCells(toBit - 1));
                    const uint32_t q = rankGroupCells<Size>(cells);
                    cells[i] = from;
                    const uint32_t nextFree = free ^ toBit ^ fromBit;
                    __builtin_prefetch(&visited_[q]);
                    __builtin_prefetch(&next[q], 1);
                    successors[n++] = {q, static_cast<uint16_t>(nextFree), from,
                                       static_cast<uint8_t>(countCells(nextFree & (fromBit - 1)))};
                }
            }
            for (int32_t k = 0; k < n; ++k) {
                const Successor& s = successors[k];
                if ((visited_[s.placement] >> s.probe & 1u) != 0) continue;
                next[s.placement] |= slotOf<Slot>(floodRegion(1u << s.from, s.free), s.free);
            }
        }
    }
}

template <int32_t Size>
void LayeredBuild<Size>::merge(int64_t begin, int64_t end, uint8_t depth, int64_t& reached,
                               int64_t& states) {
    for (int64_t p = begin; p < end; ++p) {
        Slot add = 0;
        for (Slot* next : next_) {
            add = static_cast<Slot>(add | next[p]);
            next[p] = 0;
        }
        current_[p] = add;
        if (add == 0) continue;
        ++states;
        if (visited_[p] == 0) {
            entries_[p] = depth;
            ++reached;
        }
        visited_[p] = static_cast<Slot>(visited_[p] | add);
    }
}

template <int32_t Size>
int32_t LayeredBuild<Size>::run() {
    const auto bytes = static_cast<std::size_t>(count_) * sizeof(Slot);
    visited_ = static_cast<Slot*>(std::calloc(bytes, 1));
    current_ = static_cast<Slot*>(std::calloc(bytes, 1));
    bool allocated = visited_ != nullptr && current_ != nullptr;
    for (int32_t k = 0; allocated && k < threads_; ++k) {
        next_.push_back(static_cast<Slot*>(std::calloc(bytes, 1)));
        allocated = next_.back() != nullptr;
    }
    if (!allocated) return groupBuildFailed;

    uint8_t goal[maxGroupSize];
    uint32_t occupied = 0;
    for (int32_t i = 0; i < Size; ++i) {
        goal[i] = static_cast<uint8_t>(group_.tiles[static_cast<std::size_t>(i)] - 1);
        occupied |= 1u << goal[i];
    }
    const uint32_t goalFree = ~occupied & allCells;
    const uint32_t g = rankGroupCells<Size>(goal);
    const Slot start = slotOf<Slot>(floodRegion(1u << 15, goalFree), goalFree);
    visited_[g] = current_[g] = start;
    entries_[g] = 0;
    int64_t reached = 1;
    std::vector<int64_t> sizes{1};
    if (options_.progress) options_.progress(0, reached);

    // The counts of each range, summed after the joins.
    std::vector<int64_t> layerReached(static_cast<std::size_t>(threads_));
    std::vector<int64_t> layerStates(static_cast<std::size_t>(threads_));
    int32_t depth = 0;
    int32_t maxEntry = 0;
    for (;;) {
        runPhase([this](int32_t t, int64_t b, int64_t e) {
            expand(next_[static_cast<std::size_t>(t)], b, e);
        });
        if (stopRequested()) return groupBuildStopped;
        std::fill(layerReached.begin(), layerReached.end(), 0);
        std::fill(layerStates.begin(), layerStates.end(), 0);
        const auto d = static_cast<uint8_t>(depth + 1);
        runPhase([&, d](int32_t t, int64_t b, int64_t e) {
            const auto k = static_cast<std::size_t>(t);
            merge(b, e, d, layerReached[k], layerStates[k]);
        });
        if (stopRequested()) return groupBuildStopped;
        int64_t layer = 0;
        int64_t states = 0;
        for (int32_t t = 0; t < threads_; ++t) {
            layer += layerReached[static_cast<std::size_t>(t)];
            states += layerStates[static_cast<std::size_t>(t)];
        }
        // A layer can reach only new regions of placements reached before: the
        // search ends when no state at all was new.
        if (states == 0) break;
        ++depth;
        reached += layer;
        sizes.push_back(layer);
        if (layer != 0) maxEntry = depth;
        if (options_.progress) options_.progress(depth, reached);
    }
    // The last layers may have reached new regions of old placements only.
    sizes.resize(static_cast<std::size_t>(maxEntry) + 1);
    if (options_.layerSizes != nullptr) *options_.layerSizes = sizes;
    return maxEntry;
}

}  // namespace

int32_t buildGroupDb(const TileGroup& group, uint8_t* entries, const GroupBuildOptions& options) {
    assert(entries != nullptr);
    switch (group.size) {
        case 1:
            return LayeredBuild<1>(group, entries, options).run();
        case 2:
            return LayeredBuild<2>(group, entries, options).run();
        case 3:
            return LayeredBuild<3>(group, entries, options).run();
        case 4:
            return LayeredBuild<4>(group, entries, options).run();
        case 5:
            return LayeredBuild<5>(group, entries, options).run();
        case 6:
            return LayeredBuild<6>(group, entries, options).run();
        case 7:
            return LayeredBuild<7>(group, entries, options).run();
        case 8:
            return LayeredBuild<8>(group, entries, options).run();
        default:
            return groupBuildFailed;
    }
}

}  // namespace fifteen
