#pragma once

// The stronger tables as a start sees them: read from the cache file when it is
// valid, otherwise built and written, with two processes never building or
// writing the same file at once.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "heuristics/additive/table_file.h"
#include "heuristics/additive/tile_group.h"

namespace fifteen {

enum class TableCacheResult { loaded, built, stopped, failed };

struct TableCacheOptions {
    int32_t threads = 1;                                  // of each build
    const std::atomic<bool>* stop = nullptr;              // ends a build or a write (relaxed reads)
    std::function<void(const std::string& line)> report;  // one line per event, no newline
    // During a build: the table's number, the layer, and its placements reached.
    std::function<void(std::size_t table, int32_t depth, int64_t reached)> progress;
    // Once, when a build starts: the file it will be stored in, empty for memory only.
    std::function<void(const std::string& into)> building;
    // Tables that cannot be stored are a failure (and are not built when that is
    // known first), not tables kept in memory: for a build whose whole point is
    // the file.
    bool mustStore = false;
};

// Reads the file at path into tables when it holds exactly these groups and its
// checksum holds; otherwise reports why in one line (nothing when it is only
// missing), takes path + ".lock" (waiting for another builder until stop), and
// looks again (another process may just have written it). Still not valid:
// builds every group, writes the file (writeTableFile) and keeps what it built.
// When the file cannot be written, or path is empty (no folder for it) or not
// a regular file (left as it is), the tables built stay in memory (reported,
// but for an empty path). Nothing is left behind by a stop: no temporary file,
// no tables. Returns how the tables came.
TableCacheResult loadOrBuildTables(const std::string& path, const std::vector<TileGroup>& groups,
                                   StoredTables& tables, const TableCacheOptions& options);

}  // namespace fifteen
