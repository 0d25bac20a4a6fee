#pragma once

// The build of one additive pattern database: for every placement of a group's
// tiles, the fewest moves of those tiles that bring them home, the other tiles
// and the blank being free to go anywhere at no cost.

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "heuristics/additive/tile_group.h"

namespace fifteen {

// What the build returns when it could not allocate its sets, and when it was
// asked to stop; entries are then incomplete and must not be used.
inline constexpr int32_t groupBuildFailed = -1;
inline constexpr int32_t groupBuildStopped = -2;

struct GroupBuildOptions {
    int32_t threads = 1;  // threads that expand and merge each layer, the caller's among them
    // Read (relaxed) before each range of a layer; true ends the build soon with
    // groupBuildStopped. Relaxed suffices: it publishes nothing.
    const std::atomic<bool>* stop = nullptr;
    // Called on the calling thread after each layer: the layer's depth and the
    // placements reached so far (groupEntryCount(size) at the end).
    std::function<void(int32_t depth, int64_t reached)> progress;
    // When not null: the placements whose entry is each depth.
    std::vector<int64_t>* layerSizes = nullptr;
    // Zero for the defaults; tests shrink them so that a small group spans many
    // buckets and a layer many passes. bucketBits: placements per bucket, as a
    // power of two; passSuccessors: the successors a thread gathers before the
    // pass applies them.
    int32_t bucketBits = 0;
    int64_t passSuccessors = 0;
};

// A 0-1 breadth-first search from the goal over the states (placement, region
// of the blank): the region is the set of free cells the blank can reach
// without moving a group tile, so a move of a tile of the group costs one and
// every other move nothing. Each layer is a set of regions (a region is closed
// under the free moves), expanded in passes: the threads expand ranges of
// placements, gathering the successors by bucket (a range of placements whose
// slots fit the cache), then apply them bucket by bucket to the next layer.
// entries (groupEntryCount(group.size) bytes, indexed by rankGroupCells of the
// tiles' cells) gets the smallest depth over the regions of each placement.
// Returns the largest entry, groupBuildFailed or groupBuildStopped. Memory
// besides entries: three sets of one slot (a byte for a group of 8, two bytes
// below) per placement, and for the gathered successors 128 MB in all and a
// few MB a thread: 1.7 GB for a group of 8 on two threads, 0.5 GB for 7.
int32_t buildGroupDb(const TileGroup& group, uint8_t* entries, const GroupBuildOptions& options);

}  // namespace fifteen
