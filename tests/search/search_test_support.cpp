#include "search_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

#include "heuristics/wd/wd_eval.h"
#include "heuristics/wd/wd_table.h"
#include "search/preparation.h"

namespace fifteen::testing {

void requireWdTable() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (wdTable.recordCount == 0 && !buildWdTable(wdTable)) std::abort();
    });
}

void requireAllTables() {
    static std::once_flag once;
    std::call_once(once, [] {
        Preparation preparation;
        if (!preparation.start([](PreparedTable) {})) std::abort();
        preparation.join();
    });
}

int32_t walkingDistance(const Board& board) {
    return findRowRecord(wdTable, board)->distance + findColumnRecord(wdTable, board)->distance;
}

}  // namespace fifteen::testing
