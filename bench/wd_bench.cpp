// Walking-distance table: the start-up build and the full lookup made at every
// search root.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "heuristics/wd/wd_eval.h"
#include "heuristics/wd/wd_table.h"
#include "puzzle/shuffle.h"

namespace fifteen {
namespace {

// Each iteration builds into freshly zeroed storage, as at start-up; zeroing is
// left out of the timing.
void BM_BuildWdTable(benchmark::State& state) {
    auto table = std::make_unique<WdTable>();
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(static_cast<void*>(table.get()), 0, sizeof(WdTable));
        state.ResumeTiming();
        benchmark::DoNotOptimize(buildWdTable(*table));
        benchmark::ClobberMemory();
    }
    state.counters["records"] = table->recordCount;
}
BENCHMARK(BM_BuildWdTable)->Unit(benchmark::kMillisecond);

// Row and column lookup of shuffled boards (fixed seed), cycling through 64 of
// them so that no single scan length dominates.
void BM_FullLookup(benchmark::State& state) {
    static const bool built = buildWdTable(wdTable);
    if (!built) {
        state.SkipWithError("walking-distance build failed");
        return;
    }
    seedRandom(12345);
    std::vector<Board> boards(64, goalBoard);
    for (Board& b : boards) shuffleBoard(b);
    size_t i = 0;
    for (auto _ : state) {
        const Board& b = boards[i++ & 63];
        const WdRecord* row = findRowRecord(wdTable, b);
        const WdRecord* column = findColumnRecord(wdTable, b);
        benchmark::DoNotOptimize(row);
        benchmark::DoNotOptimize(column);
    }
}
BENCHMARK(BM_FullLookup)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fifteen
