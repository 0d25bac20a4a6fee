#pragma once

// The stronger table set as the front ends hold it: the 7+8 databases from the
// cache file (or built and stored there first) and the table set over them.

#include <memory>
#include <string>

#include "heuristics/additive/table_cache.h"
#include "heuristics/additive/table_file.h"

namespace fifteen {

class TableSet;

// The cache file: $XDG_CACHE_HOME/fifteen/tables-7-8.bin (see tableCacheDirectory).
// Empty, with the reason in error, when the folder cannot be made.
std::string strongerTablesPath(std::string& error);

// Name of the stronger set as the front ends take it ("--tables 7-8").
inline constexpr const char* strongerTablesOption = "7-8";

class StrongerTables {
  public:
    StrongerTables();
    StrongerTables(const StrongerTables&) = delete;
    StrongerTables& operator=(const StrongerTables&) = delete;
    ~StrongerTables();

    // Loads, or builds and stores, the tables at path (loadOrBuildTables); call
    // once, on any one thread, before tableSet. The walking-distance table is
    // the program's (Preparation) and must be complete before a search.
    TableCacheResult prepare(const std::string& path, const TableCacheOptions& options);

    // Null until prepare has succeeded. Read-only; any thread after that.
    const TableSet* tableSet() const { return set_.get(); }

  private:
    StoredTables stored_;
    std::unique_ptr<TableSet> set_;
};

}  // namespace fifteen
