#include "heuristics/additive/group_db_build.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <type_traits>

#include "heuristics/additive/file_system.h"

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

// select8[m][n]: the n-th set bit of the byte m.
constexpr std::array<std::array<uint8_t, 8>, 256> select8 = [] {
    std::array<std::array<uint8_t, 8>, 256> table{};
    for (std::size_t m = 0; m < 256; ++m) {
        std::size_t n = 0;
        for (uint8_t bit = 0; bit < 8; ++bit) {
            if ((m >> bit & 1) != 0) table[m][n++] = bit;
        }
    }
    return table;
}();

// The n-th cell of the 16-cell mask m.
uint32_t selectCell(uint32_t m, uint32_t n) {
    const uint32_t low = bitCounts[m & 0xFF];
    return n < low ? select8[m & 0xFF][n] : 8u + select8[m >> 8 & 0xFF][n - low];
}

// unrankGroupCells for a size known when compiling: the divisions become
// multiplications, and the free cells are picked from tables.
template <int32_t Size>
uint32_t unrankCells(uint32_t rank, uint8_t* cells) {
    std::array<uint32_t, static_cast<std::size_t>(Size)> digits{};
#pragma GCC unroll 8
    for (int32_t i = Size - 1; i >= 0; --i) {
        digits[static_cast<std::size_t>(i)] = rank % static_cast<uint32_t>(16 - i);
        rank /= static_cast<uint32_t>(16 - i);
    }
    uint32_t used = 0;
#pragma GCC unroll 8
    for (int32_t i = 0; i < Size; ++i) {
        cells[i] =
            static_cast<uint8_t>(selectCell(~used & allCells, digits[static_cast<std::size_t>(i)]));
        used |= 1u << cells[i];
    }
    return used;
}

// A state set holds one slot per placement: bit r of the slot is the r-th
// region of the placement's free cells, the regions numbered in the order of
// their lowest cells. A placement of Size tiles has at most 16 - Size regions.
// RegionLabels gives every cell of a set of free cells its region's number,
// four bits a cell, for the sets of the group's number of free cells.
//
// The sets are numbered densely (by high byte, then by the low byte's place
// among the bytes of its cell count), so that the table is 100 KB and stays in
// the cache, which a table over all 65536 masks would not.
class RegionLabels {
  public:
    explicit RegionLabels(int32_t freeCount) {
        std::array<uint32_t, 9> seen{};  // bytes of each cell count so far
        for (uint32_t byte = 0; byte < 256; ++byte) lowPlace_[byte] = seen[countCells(byte)]++;
        uint32_t sets = 0;
        for (uint32_t high = 0; high < 256; ++high) {
            firstSet_[high] = sets;
            const auto lowCount = freeCount - static_cast<int32_t>(countCells(high));
            if (lowCount >= 0 && lowCount <= 8) sets += seen[static_cast<std::size_t>(lowCount)];
        }
        labels_.resize(sets);
        for (uint32_t free = 0; free <= allCells; ++free) {
            if (countCells(free) != static_cast<uint32_t>(freeCount)) continue;
            uint64_t labels = 0;
            uint64_t number = 0;
            for (uint32_t left = free; left != 0; ++number) {
                const uint32_t region = floodRegion(left & (0u - left), free);
                left &= ~region;
                for (uint32_t c = region; c != 0; c &= c - 1) {
                    labels |= number << (4 * __builtin_ctz(c));
                }
            }
            labels_[place(free)] = labels;
        }
    }
    // The number of the region of cell in free.
    uint32_t of(uint32_t free, uint32_t cell) const {
        return static_cast<uint32_t>(labels_[place(free)] >> (4 * cell) & 0xF);
    }
    // Every cell's, four bits a cell.
    uint64_t all(uint32_t free) const { return labels_[place(free)]; }

  private:
    uint32_t place(uint32_t free) const { return firstSet_[free >> 8] + lowPlace_[free & 0xFF]; }

    std::array<uint32_t, 256> firstSet_{};
    std::array<uint32_t, 256> lowPlace_{};
    std::vector<uint64_t> labels_;
};

// A set's pages straight from the kernel: zero until written, and never touched
// where no state comes (a calloc may clear them all, as the sanitizers' does).
void* zeroedSet(std::size_t bytes) {
    return allocateZeroedPages(bytes);
}

void releaseSet(void* set, std::size_t bytes) {
    releaseZeroedPages(set, bytes);
}

// Most slots of most layers are empty: the scans skip them eight at a time.
template <class Slot>
bool eightEmpty(const Slot* slots) {
    uint64_t words[sizeof(Slot)];
    std::memcpy(words, slots, sizeof words);
    uint64_t any = 0;
    for (const uint64_t word : words) any |= word;
    return any == 0;
}

// A layer is expanded in passes. In a pass the threads expand ranges of
// placements and gather the successors, each thread by bucket (a bucket is a
// range of placements small enough that its visited and next slots stay in the
// cache); then each bucket is applied by one thread. A successor then costs a
// sequential write and read, not two misses in sets of half a gigabyte.
template <int32_t Size>
class LayeredBuild {
  public:
    // A bit a region, at most 16 - Size regions: eight or fewer fit a byte.
    using Slot = std::conditional_t<(16 - Size <= 8), uint8_t, uint16_t>;

    LayeredBuild(const TileGroup& group, uint8_t* entries, const GroupBuildOptions& options)
        : group_(group),
          entries_(entries),
          options_(options),
          threads_(std::clamp(options.threads, int32_t{1}, maxThreads)),
          bucketBits_(options.bucketBits > 0 ? std::min(options.bucketBits, maxBucketBits)
                                             : defaultBucketBits),
          chunkBits_(std::min(bucketBits_, int32_t{10})),
          bucketCount_(static_cast<int32_t>(((count_ - 1) >> bucketBits_) + 1)),
          passSuccessors_(options.passSuccessors > 0
                              ? options.passSuccessors
                              : std::max(passSuccessorsInAll / threads_, int64_t{1} << 21)) {}
    ~LayeredBuild() {
        for (Slot* set : {visited_, current_, next_}) releaseSet(set, setBytes);
    }

    int32_t run();

  private:
    static constexpr int32_t maxThreads = 16;
    static constexpr int64_t count_ = groupEntryCount(Size);
    static constexpr std::size_t setBytes = static_cast<std::size_t>(count_) * sizeof(Slot);
    static constexpr int32_t slotBits = 16 - Size;
    // A bucket's visited and next slots: 2 x 256 KB.
    static constexpr int32_t defaultBucketBits = sizeof(Slot) == 1 ? 18 : 17;
    // A gathered successor is its placement within the bucket and its slot bits.
    static constexpr int32_t maxBucketBits = 32 - slotBits;
    // The gathered successors of a pass, over all threads: 128 MB, whatever the
    // number of threads (the pass size hardly matters above a few million).
    static constexpr int64_t passSuccessorsInAll = int64_t{1} << 25;
    static constexpr int32_t blockEntries = 1024;

    // One thread's successors of a pass, by bucket: each bucket fills blocks of
    // the thread's store, taken in turn.
    struct Gathered {
        std::vector<uint32_t> store;
        int32_t usedBlocks = 0;
        std::vector<uint32_t*> write;              // per bucket: its next successor's place
        std::vector<uint32_t*> end;                // per bucket: the end of its last block
        std::vector<std::vector<int32_t>> blocks;  // per bucket: its blocks in order
    };

    void expand(Gathered& gathered, int64_t begin, int64_t end);
    void gather(Gathered& gathered, uint32_t placement, Slot slot) const;
    void apply(int32_t bucket);
    void merge(int32_t bucket, uint8_t depth, int64_t& reached, int64_t& states);
    void clear(Gathered& gathered) const;
    bool stopRequested() const {
        return options_.stop != nullptr && options_.stop->load(std::memory_order_relaxed);
    }
    template <class Work>
    void runTeam(const Work& work) const;
    // Runs work(thread, bucket) over the buckets that touched says hold states.
    template <class Work>
    void forTouchedBuckets(const std::vector<uint8_t>& touched, const Work& work);

    const TileGroup group_;
    uint8_t* const entries_;
    const GroupBuildOptions& options_;
    const int32_t threads_;
    const int32_t bucketBits_;
    const int32_t chunkBits_;
    const int32_t bucketCount_;
    const int64_t passSuccessors_;
    // Blocks a thread must have free to take another range: every successor of
    // the range in a fresh block, and a fresh block for every bucket.
    int32_t reserveBlocks_ = 0;
    Slot* visited_ = nullptr;
    Slot* current_ = nullptr;
    Slot* next_ = nullptr;
    // Per bucket: whether current_ (next_) has a state there. Each is written by
    // the one thread that applies or merges the bucket, read after the joins.
    std::vector<uint8_t> currentTouched_;
    std::vector<uint8_t> nextTouched_;
    std::vector<Gathered> gathered_;
    const RegionLabels labels_{16 - Size};
    // The next range of the phase. Relaxed: it hands over no data; each phase's
    // sets reach the next phase through the joins of its threads.
    std::atomic<int64_t> cursor_{0};
};

template <int32_t Size>
template <class Work>
void LayeredBuild<Size>::runTeam(const Work& work) const {
    std::vector<std::thread> helpers;
    try {
        for (int32_t k = 1; k < threads_; ++k) helpers.emplace_back(work, k);
    } catch (const std::system_error&) {
        // Out of threads: the ranges are handed out one by one, so the threads
        // there are do all the work.
    }
    work(0);
    for (std::thread& helper : helpers) helper.join();
}

template <int32_t Size>
template <class Work>
void LayeredBuild<Size>::forTouchedBuckets(const std::vector<uint8_t>& touched, const Work& work) {
    cursor_.store(0, std::memory_order_relaxed);
    runTeam([&](int32_t thread) {
        for (;;) {
            if (stopRequested()) return;
            const int64_t bucket = cursor_.fetch_add(1, std::memory_order_relaxed);
            if (bucket >= bucketCount_) return;
            if (touched[static_cast<std::size_t>(bucket)] != 0) {
                work(thread, static_cast<int32_t>(bucket));
            }
        }
    });
}

template <int32_t Size>
void LayeredBuild<Size>::gather(Gathered& gathered, uint32_t placement, Slot slot) const {
    const uint32_t bucket = placement >> bucketBits_;
    uint32_t* at = gathered.write[bucket];
    if (at == gathered.end[bucket]) {
        const int32_t block = gathered.usedBlocks++;
        gathered.blocks[bucket].push_back(block);
        at = &gathered.store[static_cast<std::size_t>(block) * blockEntries];
        gathered.end[bucket] = at + blockEntries;
    }
    *at = (placement & ((1u << bucketBits_) - 1)) | uint32_t{slot} << bucketBits_;
    gathered.write[bucket] = at + 1;
}

template <int32_t Size>
void LayeredBuild<Size>::clear(Gathered& gathered) const {
    gathered.usedBlocks = 0;
    std::fill(gathered.write.begin(), gathered.write.end(), nullptr);
    std::fill(gathered.end.begin(), gathered.end.end(), nullptr);
    for (std::vector<int32_t>& blocks : gathered.blocks) blocks.clear();
}

// The weight of digit i in the rank: the product of the radices after it.
template <int32_t Size>
constexpr std::array<int64_t, maxGroupSize + 1> digitWeights = [] {
    std::array<int64_t, maxGroupSize + 1> weights{};  // weights[Size] stays 0
    int64_t weight = 1;
    for (int32_t i = Size - 1; i >= 0; --i) {
        weights[static_cast<std::size_t>(i)] = weight;
        weight *= 16 - i;
    }
    return weights;
}();

template <int32_t Size>
void LayeredBuild<Size>::expand(Gathered& gathered, int64_t begin, int64_t end) {
    constexpr const std::array<int64_t, maxGroupSize + 1>& weight = digitWeights<Size>;
    uint8_t cells[maxGroupSize];
    for (int64_t p = begin; p < end; ++p) {
        if ((p & 7) == 0 && p + 8 <= end && eightEmpty(&current_[p])) {
            p += 7;
            continue;
        }
        const Slot slot = current_[p];
        if (slot == 0) continue;
        // Cleared as it is read: after the layer this set becomes the next one.
        current_[p] = 0;
        const uint32_t occupied = unrankCells<Size>(static_cast<uint32_t>(p), cells);
        const uint32_t free = ~occupied & allCells;
        // The tile on each cell (Size on a free one), and each region's cells.
        uint8_t tileAt[19];  // beyond cell 15 for the cells "between" a step along the row
        std::memset(tileAt, Size, sizeof tileAt);
        for (int32_t i = 0; i < Size; ++i) tileAt[cells[i]] = static_cast<uint8_t>(i);
        uint32_t regions[16] = {};
        const uint64_t labels = labels_.all(free);
        for (uint32_t c = free; c != 0; c &= c - 1) {
            const auto cell = static_cast<uint32_t>(__builtin_ctz(c));
            regions[labels >> (4 * cell) & 0xF] |= 1u << cell;
        }
        for (uint32_t left = slot; left != 0; left &= left - 1) {
            const uint32_t region = regions[__builtin_ctz(left)];
            // The tiles beside the region step into it; the blank is then where
            // the tile was.
            for (uint32_t beside = adjacentCells(region) & occupied; beside != 0;
                 beside &= beside - 1) {
                const auto from = static_cast<uint32_t>(__builtin_ctz(beside));
                const uint32_t fromBit = 1u << from;
                const uint32_t i = tileAt[from];
                for (uint32_t to = adjacentCells(fromBit) & region; to != 0; to &= to - 1) {
                    const auto cell = static_cast<uint32_t>(__builtin_ctz(to));
                    // The rank moves by the change of the tile's digit, and of
                    // the digits of later tiles it passes: a step along a row
                    // passes none; a step along a column passes the three cells
                    // between, where an earlier tile lowers the tile's digit and
                    // a later tile's digit changes by one.
                    // Both computed, one taken: rows and columns come in about
                    // equal numbers, too mixed for a branch.
                    const uint32_t low = std::min(cell, from);
                    int64_t column = 4 * weight[i];
                    for (uint32_t c = low + 1; c < low + 4; ++c) {
                        const uint32_t j = tileAt[c];
                        column += j < i ? -weight[i] : weight[j];
                    }
                    const bool alongRow = cell + 1 == from || cell == from + 1;
                    const int64_t step = alongRow ? weight[i] : column;
                    const auto q = static_cast<uint32_t>(cell > from ? p + step : p - step);
                    const uint32_t nextFree = free ^ (1u << cell) ^ fromBit;
                    gather(gathered, q, static_cast<Slot>(1u << labels_.of(nextFree, from)));
                }
            }
        }
    }
}

template <int32_t Size>
void LayeredBuild<Size>::apply(int32_t bucket) {
    const uint32_t base = static_cast<uint32_t>(bucket) << bucketBits_;
    const uint32_t mask = (1u << bucketBits_) - 1;
    Slot touched = 0;
    for (const Gathered& gathered : gathered_) {
        const auto b = static_cast<std::size_t>(bucket);
        const std::vector<int32_t>& blocks = gathered.blocks[b];
        for (std::size_t k = 0; k < blocks.size(); ++k) {
            const uint32_t* block =
                &gathered.store[static_cast<std::size_t>(blocks[k]) * blockEntries];
            const uint32_t* blockEnd =
                k + 1 == blocks.size() ? gathered.write[b] : block + blockEntries;
            for (const uint32_t* e = block; e != blockEnd; ++e) {
                const uint32_t q = base + (*e & mask);
                // Without a branch: whether the region was visited is a coin
                // toss the predictor loses.
                const auto add = static_cast<Slot>(*e >> bucketBits_ & ~visited_[q]);
                next_[q] = static_cast<Slot>(next_[q] | add);
                touched = static_cast<Slot>(touched | add);
            }
        }
    }
    if (touched != 0) nextTouched_[static_cast<std::size_t>(bucket)] = 1;
}

template <int32_t Size>
void LayeredBuild<Size>::merge(int32_t bucket, uint8_t depth, int64_t& reached, int64_t& states) {
    const int64_t begin = int64_t{bucket} << bucketBits_;
    const int64_t end = std::min(begin + (int64_t{1} << bucketBits_), count_);
    for (int64_t p = begin; p < end; ++p) {
        if ((p & 7) == 0 && p + 8 <= end && eightEmpty(&next_[p])) {
            p += 7;
            continue;
        }
        const Slot add = next_[p];
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
    visited_ = static_cast<Slot*>(zeroedSet(setBytes));
    current_ = static_cast<Slot*>(zeroedSet(setBytes));
    next_ = static_cast<Slot*>(zeroedSet(setBytes));
    if (visited_ == nullptr || current_ == nullptr || next_ == nullptr) return groupBuildFailed;
    const int64_t chunkSuccessors = (int64_t{1} << chunkBits_) * 4 * Size;
    reserveBlocks_ = static_cast<int32_t>(chunkSuccessors / blockEntries) + 1 + bucketCount_;
    const int64_t poolBlocks = passSuccessors_ / blockEntries + reserveBlocks_;
    try {
        gathered_.resize(static_cast<std::size_t>(threads_));
        for (Gathered& gathered : gathered_) {
            gathered.store.resize(static_cast<std::size_t>(poolBlocks) * blockEntries);
            gathered.write.resize(static_cast<std::size_t>(bucketCount_));
            gathered.end.resize(static_cast<std::size_t>(bucketCount_));
            gathered.blocks.resize(static_cast<std::size_t>(bucketCount_));
            clear(gathered);
        }
        currentTouched_.assign(static_cast<std::size_t>(bucketCount_), 0);
        nextTouched_.assign(static_cast<std::size_t>(bucketCount_), 0);
    } catch (const std::bad_alloc&) {
        return groupBuildFailed;
    }

    uint8_t goal[maxGroupSize];
    uint32_t occupied = 0;
    for (int32_t i = 0; i < Size; ++i) {
        goal[i] = static_cast<uint8_t>(group_.tiles[static_cast<std::size_t>(i)] - 1);
        occupied |= 1u << goal[i];
    }
    const uint32_t goalFree = ~occupied & allCells;
    const uint32_t g = rankGroupCells<Size>(goal);
    const auto start = static_cast<Slot>(1u << labels_.of(goalFree, 15));
    visited_[g] = current_[g] = start;
    currentTouched_[g >> bucketBits_] = 1;
    entries_[g] = 0;
    int64_t reached = 1;
    std::vector<int64_t> sizes{1};
    if (options_.progress) options_.progress(0, reached);

    // The counts of each bucket's merge, summed after the joins.
    std::vector<int64_t> layerReached(static_cast<std::size_t>(threads_));
    std::vector<int64_t> layerStates(static_cast<std::size_t>(threads_));
    const std::vector<uint8_t> allBuckets(static_cast<std::size_t>(bucketCount_), 1);
    int32_t depth = 0;
    int32_t maxEntry = 0;
    for (;;) {
        // The passes of the layer: expand until a thread's store is full, apply.
        std::atomic<int64_t> expandCursor{0};
        while (expandCursor.load(std::memory_order_relaxed) < count_) {
            runTeam([&](int32_t thread) {
                Gathered& gathered = gathered_[static_cast<std::size_t>(thread)];
                for (;;) {
                    if (stopRequested()) return;
                    if (int64_t{gathered.usedBlocks} * blockEntries >= passSuccessors_ ||
                        gathered.usedBlocks + reserveBlocks_ > poolBlocks) {
                        return;
                    }
                    const int64_t begin =
                        expandCursor.fetch_add(int64_t{1} << chunkBits_, std::memory_order_relaxed);
                    if (begin >= count_) return;
                    if (currentTouched_[static_cast<std::size_t>(begin >> bucketBits_)] == 0) {
                        continue;
                    }
                    expand(gathered, begin, std::min(begin + (int64_t{1} << chunkBits_), count_));
                }
            });
            if (stopRequested()) return groupBuildStopped;
            forTouchedBuckets(allBuckets, [this](int32_t, int32_t bucket) { apply(bucket); });
            if (stopRequested()) return groupBuildStopped;
            for (Gathered& gathered : gathered_) clear(gathered);
        }
        std::fill(layerReached.begin(), layerReached.end(), 0);
        std::fill(layerStates.begin(), layerStates.end(), 0);
        const auto d = static_cast<uint8_t>(depth + 1);
        forTouchedBuckets(nextTouched_, [&, d](int32_t t, int32_t bucket) {
            const auto k = static_cast<std::size_t>(t);
            merge(bucket, d, layerReached[k], layerStates[k]);
        });
        if (stopRequested()) return groupBuildStopped;
        // The expansion left current_ empty: it becomes the next layer's next_.
        std::swap(current_, next_);
        std::swap(currentTouched_, nextTouched_);
        std::fill(nextTouched_.begin(), nextTouched_.end(), 0);
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
