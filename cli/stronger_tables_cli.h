#pragma once

// The stronger tables as fifteen-solve takes them: from the cache file, or built
// and stored there first, with the build's progress on a terminal's stderr and
// Ctrl-C stopping it (nothing is left behind).

#include <string>

#include "search/stronger_tables.h"

namespace fifteen::cli {

// Loads or builds the tables into tables on threads threads (the hardware's at
// most). A file that cannot be used is reported in one line on stderr before its
// rebuild; the start of a build is announced there too, its layers only with
// progress. path receives the cache file's path (empty when there is none: the
// tables are then built in memory, said in one line). mustStore: tables that
// cannot be stored fail instead (see TableCacheOptions).
TableCacheResult prepareStrongerTables(StrongerTables& tables, int threads, bool progress,
                                       std::string& path, bool mustStore = false);

// --build-tables: the file built (or found valid), then "where and how large"
// on stdout. Returns the exit code: 0, 1 (no file could be made) or 130 (Ctrl-C).
int buildStrongerTables(int threads, bool progress);

}  // namespace fifteen::cli
