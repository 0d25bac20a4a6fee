#include "heuristics/additive/table_cache.h"

#include <cstdlib>
#include <optional>

#include "heuristics/additive/group_db_build.h"

namespace fifteen {

namespace {

void report(const TableCacheOptions& options, const std::string& line) {
    if (options.report) options.report(line);
}

bool stopSeen(const TableCacheOptions& options) {
    return options.stop != nullptr && options.stop->load(std::memory_order_relaxed);
}

void freeBlocks(std::vector<uint8_t*>& blocks) {
    for (uint8_t* block : blocks) std::free(block);
    blocks.clear();
}

}  // namespace

TableCacheResult loadOrBuildTables(const std::string& path, const std::vector<TileGroup>& groups,
                                   StoredTables& tables, const TableCacheOptions& options) {
    // Whether the tables built go to the file: not without a path, nor over
    // something that is not a regular file (not ours to replace).
    bool store = !path.empty();
    std::optional<TableFileLock> lock;
    for (int look = 0; store && look < 2; ++look) {
        const TableFileStatus status = tables.open(path, groups);
        if (status == TableFileStatus::ok) return TableCacheResult::loaded;
        if (status == TableFileStatus::notRegular) {
            report(options, path + " " + describeTableFileStatus(status) +
                                (options.mustStore ? "" : "; building the tables in memory"));
            store = false;
        } else if (look == 1) {
            break;
        } else {
            if (status != TableFileStatus::missing) {
                report(options,
                       path + " " + describeTableFileStatus(status) + "; building it again");
            }
            LockWait wait;
            wait.stop = options.stop;
            wait.started = [&options] {
                report(options, "Another process is building the tables; waiting for it");
            };
            bool waited = false;
            lock.emplace(path + ".lock", &waited, wait);
            if (stopSeen(options)) return TableCacheResult::stopped;
            // Without the lock (a read-only folder, say) the file cannot be
            // written either; the tables are then built for this process only.
            // With it, another process may just have written the file.
            if (!waited && !lock->locked()) {
                report(options, "Cannot store the stronger tables (" + path +
                                    ".lock cannot be taken)" +
                                    (options.mustStore ? "" : "; keeping them in memory"));
                store = false;
            }
        }
    }
    if (!store && options.mustStore) return TableCacheResult::failed;
    if (options.building) options.building(store ? path : std::string());

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
    const bool stored =
        store && lock->locked() && writeTableFile(path, toStore, error, options.stop);
    if (stopSeen(options)) {
        freeBlocks(blocks);
        return TableCacheResult::stopped;
    }
    if (store && !stored) {
        report(options, "Cannot store the stronger tables (" + error + ")" +
                            (options.mustStore ? "" : "; keeping them in memory"));
        if (options.mustStore) {
            freeBlocks(blocks);
            return TableCacheResult::failed;
        }
    }
    // What was built is what the file holds: kept, not read back.
    tables.adopt(std::move(blocks));
    return TableCacheResult::built;
}

}  // namespace fifteen
