#include "heuristics/pdb/wd_pdb55_tables.h"
#include "search/table_set_of.h"

namespace fifteen {

const TableSet& defaultTableSet() {
    static const TableSetOf<WdPdb55Tables> tables;
    return tables;
}

}  // namespace fifteen
