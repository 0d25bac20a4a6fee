#include "search/stronger_tables.h"

#include "heuristics/additive/file_system.h"
#include "heuristics/additive/pdb78_tables.h"
#include "search/table_set_of.h"

namespace fifteen {

std::string strongerTablesPath(std::string& error) {
    const std::string folder = tableCacheDirectory(error);
    return folder.empty() ? folder : folder + pathSeparator + "tables-7-8.bin";
}

StrongerTables::StrongerTables() = default;
StrongerTables::~StrongerTables() = default;

TableCacheResult StrongerTables::prepare(const std::string& path,
                                         const TableCacheOptions& options) {
    const TableCacheResult result = loadOrBuildTables(path, {groupOf7, groupOf8}, stored_, options);
    if (result == TableCacheResult::loaded || result == TableCacheResult::built) {
        Pdb78Tables tables;
        tables.group7 = stored_.entries(0);
        tables.group8 = stored_.entries(1);
        set_ = std::make_unique<TableSetOf<Pdb78Tables>>(tables);
    }
    return result;
}

}  // namespace fifteen
