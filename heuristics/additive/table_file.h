#pragma once

// The stronger tables on disk: one file of several databases, written once under
// a temporary name and renamed, read whole into memory by every later start.
//
// Layout (little-endian on every system; the payload of each table starts on a 4 KiB page):
//
//   offset  size
//   0       8     magic "F15ADDTB"
//   8       4     format version (tableFileVersion)
//   12      4     table count, 1..maxStoredTables
//   16      32*4  per table: tiles[8] (the group, in ranking order), size (4),
//                 0 (4), entry count (8), payload offset (8)
//   144     8     checksum of the header with this field 0, then of every
//                 payload in order (tableChecksum)
//   ...           payloads: one byte per entry, indexed by rankGroupCells

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "heuristics/additive/tile_group.h"

namespace fifteen {

inline constexpr uint32_t tableFileVersion = 1;
inline constexpr int32_t maxStoredTables = 4;

enum class TableFileStatus {
    ok,
    missing,
    unreadable,    // exists but cannot be opened or read
    notRegular,    // a FIFO, a folder, a device: never opened for reading or replaced
    truncated,     // shorter than its header says
    otherFormat,   // not a table file at all
    otherVersion,  // a table file of another format version
    otherTables,   // another split or other sizes
    corrupt,       // the checksum does not match
};

// One line's worth of reason, "is truncated"-style.
const char* describeTableFileStatus(TableFileStatus status);

// A 64-bit checksum of data in four independent lanes (about 10 GB/s), chained
// through seed.
uint64_t tableChecksum(const void* data, std::size_t bytes, uint64_t seed);

// The entries of one table, to be written.
struct TableToStore {
    TileGroup group;
    const uint8_t* entries;  // groupEntryCount(group.size) bytes
};

// Writes the tables to path + ".tmp", flushes it to the disk and renames it
// over path, so that path is either the old file, or absent, or the whole new
// one. The caller holds the file's lock (TableFileLock), so no other writer uses
// the temporary name. On failure, or when stop is seen (between blocks), the
// temporary is removed and false returned with the reason in error.
bool writeTableFile(const std::string& path, const std::vector<TableToStore>& tables,
                    std::string& error, const std::atomic<bool>* stop = nullptr);

// A table file read into memory of this process, its header and checksum
// checked, or the same tables built here when they could not be written. Either
// way nothing that happens to the file later reaches them. Move-only.
class StoredTables {
  public:
    StoredTables() = default;
    StoredTables(StoredTables&& other) noexcept;
    StoredTables& operator=(StoredTables&& other) noexcept;
    StoredTables(const StoredTables&) = delete;
    StoredTables& operator=(const StoredTables&) = delete;
    ~StoredTables();

    // Reads path and checks it holds exactly these groups, in this order; on any
    // failure nothing is kept.
    TableFileStatus open(const std::string& path, const std::vector<TileGroup>& groups);
    // Takes blocks from std::malloc, one per group, freed by this object.
    void adopt(std::vector<uint8_t*> blocks);
    void close();

    bool empty() const { return entries_.empty(); }
    const uint8_t* entries(std::size_t table) const { return entries_[table]; }
    // Read from a file (not adopted).
    bool fromFile() const { return base_ != nullptr; }

  private:
    void* base_ = nullptr;
    std::size_t size_ = 0;
    std::vector<uint8_t*> owned_;
    std::vector<const uint8_t*> entries_;
};

// How long a wait for another holder of the lock sleeps between tries.
inline constexpr std::chrono::milliseconds lockPollInterval{50};

// A wait for the lock: stop ends it (relaxed reads, seen within a poll), started
// is called once when another process is found holding it.
struct LockWait {
    const std::atomic<bool>* stop = nullptr;
    std::function<void()> started;
};

// An exclusive lock on the file lockPath (created if needed; anything but a
// regular file there is not locked, and never blocks), held by this object:
// taken at construction (waiting for another holder until wait.stop), released
// by the destructor or when the process ends, a crash included.
class TableFileLock {
  public:
    // wouldWait, when not null, is told whether another process held the lock.
    explicit TableFileLock(const std::string& lockPath, bool* wouldWait = nullptr,
                           const LockWait& wait = {});
    TableFileLock(const TableFileLock&) = delete;
    TableFileLock& operator=(const TableFileLock&) = delete;
    ~TableFileLock();
    bool locked() const { return handle_ != -1; }

  private:
    std::intptr_t handle_ = -1;  // the system's handle of the open lock file
};

// $XDG_CACHE_HOME/fifteen, or $HOME/.cache/fifteen when it is unset or empty
// (%LOCALAPPDATA%\fifteen on Windows), created with its parents. Empty, with the reason in error,
// when it cannot be.
std::string tableCacheDirectory(std::string& error);

}  // namespace fifteen
