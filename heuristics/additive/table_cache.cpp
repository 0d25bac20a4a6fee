#include "heuristics/additive/table_cache.h"

#include <cstdlib>

#include "heuristics/additive/group_db_build.h"

namespace fifteen {

namespace {

void report(const TableCacheOptions& options, const std::string& line) {
    if (options.report) options.report(line);
}

void freeBlocks(std::vector<uint8_t*>& blocks) {
    for (uint8_t* block : blocks) std::free(block);
    blocks.clear();
}

}  // namespace

TableCacheResult loadOrBuildTables(const std::string& path, const std::vector<TileGroup>& groups,
                                   StoredTables& tables, const TableCacheOptions& options) {
    TableFileStatus status = tables.open(path, groups);
    if (status == TableFileStatus::ok) return TableCacheResult::loaded;
    if (status != TableFileStatus::missing) {
        report(options, path + " " + describeTableFileStatus(status) + "; building it again");
    }
    bool waited = false;
    const TableFileLock lock(path + ".lock", &waited);
    if (waited) report(options, "Another process is building the tables; waiting for it");
    if (waited || lock.locked()) {
        if (tables.open(path, groups) == TableFileStatus::ok) return TableCacheResult::loaded;
    }
    // Without a lock (a read-only folder, say) the file cannot be written either;
    // the tables are then built for this process only.

    std::vector<uint8_t*> blocks;
    std::vector<TableToStore> toStore;
    for (std::size_t k = 0; k < groups.size(); ++k) {
        auto* block = static_cast<uint8_t*>(
            std::malloc(static_cast<std::size_t>(groupEntryCount(groups[k].size))));
        if (block == nullptr) {
            freeBlocks(blocks);
            report(options, "Not enough memory for the stronger tables");
            return TableCacheResult::failed;
        }
        blocks.push_back(block);
        GroupBuildOptions build;
        build.threads = options.threads;
        build.stop = options.stop;
        if (options.progress) {
            build.progress = [&options, k](int32_t depth, int64_t reached) {
                options.progress(k, depth, reached);
            };
        }
        const int32_t result = buildGroupDb(groups[k], block, build);
        if (result < 0) {
            freeBlocks(blocks);
            if (result == groupBuildStopped) return TableCacheResult::stopped;
            report(options, "Not enough memory to build the stronger tables");
            return TableCacheResult::failed;
        }
        toStore.push_back({groups[k], block});
    }
    std::string error;
    if (lock.locked() && writeTableFile(path, toStore, error, options.stop)) {
        freeBlocks(blocks);
        status = tables.open(path, groups);
        if (status == TableFileStatus::ok) return TableCacheResult::built;
        report(options, path + " " + describeTableFileStatus(status) + " after writing it");
        return TableCacheResult::failed;
    }
    if (options.stop != nullptr && options.stop->load(std::memory_order_relaxed)) {
        freeBlocks(blocks);
        return TableCacheResult::stopped;
    }
    report(options, "Cannot store the stronger tables (" +
                        (lock.locked() ? error : path + ".lock cannot be taken") +
                        "); keeping them in memory");
    tables.adopt(std::move(blocks));
    return TableCacheResult::built;
}

}  // namespace fifteen
