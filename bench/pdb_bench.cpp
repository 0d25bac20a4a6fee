// Pattern databases: one build of each on one thread, one shared by several
// threads, the whole start-up (both databases and the walking-distance table on
// their threads), the combined lookup, and the ranking a lookup does, with and
// without writing out the two patterns. Builds take about half a second each: run with
// --benchmark_repetitions=5 for medians.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/pattern_index.h"
#include "heuristics/pdb/shared_pdb_build.h"
#include "heuristics/pdb/wd_pdb55_tables.h"
#include "heuristics/wd/wd_table.h"
#include "puzzle/shuffle.h"
#include "search/preparation.h"
#include "search/solver_state.h"

namespace fifteen {
namespace {

// The program's build with no helper. The block is reused across iterations: the
// build writes every entry anyway.
void buildOne(benchmark::State& state, const PatternBoard& goal) {
    fillRankTables();
    PatternDb db{};
    if (!allocatePatternDb(db)) {
        state.SkipWithError("allocation failed");
        return;
    }
    int32_t depth = 0;
    for (auto _ : state) {
        PatternBoard scratch = goal;
        SharedPdbBuild oneThread;
        depth = oneThread.build(db, scratch, PdbBuildOptions{}, 0);
        benchmark::DoNotOptimize(db.entries);
        benchmark::ClobberMemory();
    }
    state.counters["maxDepth"] = depth;
    releasePatternDb(db);
}

void BM_BuildPatternDbA(benchmark::State& state) {
    buildOne(state, goalPatternA);
}
void BM_BuildPatternDbB(benchmark::State& state) {
    buildOne(state, goalPatternB);
}
BENCHMARK(BM_BuildPatternDbA)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_BuildPatternDbB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Database A built by state.range(0) threads sharing its layers (the build's own
// and helpers). With more threads than cores the wall time says little: the CPU
// time (the whole process) shows what sharing costs beside the one-thread build.
void BM_SharedBuildPatternDbA(benchmark::State& state) {
    fillRankTables();
    PatternDb db{};
    if (!allocatePatternDb(db)) {
        state.SkipWithError("allocation failed");
        return;
    }
    const auto threads = static_cast<int32_t>(state.range(0));
    int32_t depth = 0;
    for (auto _ : state) {
        SharedPdbBuild shared;
        std::vector<std::thread> helpers;
        for (int32_t h = 1; h < threads; ++h) helpers.emplace_back([&shared] { shared.help(); });
        PatternBoard scratch = goalPatternA;
        depth = shared.build(db, scratch, PdbBuildOptions{}, threads - 1);
        for (std::thread& helper : helpers) helper.join();
        benchmark::DoNotOptimize(db.entries);
        benchmark::ClobberMemory();
    }
    state.counters["maxDepth"] = depth;
    releasePatternDb(db);
}
BENCHMARK(BM_SharedBuildPatternDbA)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);

// From the first allocation to the last completion, as the programs start: the
// databases are fresh heap blocks and the walking-distance table starts empty.
// The counters give when each table was complete, in ms from the start.
void BM_StartUp(benchmark::State& state) {
    std::array<std::atomic<int64_t>, 3> doneMs{};
    for (auto _ : state) {
        state.PauseTiming();
        releasePatternDbs();
        std::memset(static_cast<void*>(&wdTable), 0, sizeof(WdTable));
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        Preparation preparation;
        const bool started = preparation.start([&](PreparedTable table) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            doneMs[static_cast<std::size_t>(table)] = ms.count();
        });
        if (!started) {
            state.SkipWithError("start-up could not allocate");
            break;
        }
        preparation.join();
        if (!preparation.allSucceeded()) {
            state.SkipWithError("a table build failed");
            break;
        }
    }
    state.counters["dbA_ms"] = static_cast<double>(doneMs[0].load());
    state.counters["dbB_ms"] = static_cast<double>(doneMs[1].load());
    state.counters["wd_ms"] = static_cast<double>(doneMs[2].load());
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Shuffled boards (fixed seed), cycled so the byte reads land all over both tables.
void BM_LookupPatternDbs(benchmark::State& state) {
    if (patternDbA.entries == nullptr) {
        Preparation preparation;
        if (!preparation.start([](PreparedTable) {})) {
            state.SkipWithError("start-up could not allocate");
            return;
        }
        preparation.join();
    }
    seedRandom(2024);
    std::vector<Board> boards(1024, goalBoard);
    for (Board& board : boards) shuffleBoard(board);
    std::size_t i = 0;
    int32_t maxDepth = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(WdPdb55Tables{}.lookup(boards[i], maxDepth));
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_LookupPatternDbs);

std::vector<Board> shuffledBoards() {
    fillRankTables();
    seedRandom(2024);
    std::vector<Board> boards(1024, goalBoard);
    for (Board& board : boards) shuffleBoard(board);
    return boards;
}

// Both indexes of a board by the lookup's one scan of its tiles.
void BM_RankBoardPatterns(benchmark::State& state) {
    const std::vector<Board> boards = shuffledBoards();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rankBoardPatterns(boards[i]));
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_RankBoardPatterns);

// The same indexes by classifying the board into two patterns and ranking each.
void BM_RankTwoPatterns(benchmark::State& state) {
    const std::vector<Board> boards = shuffledBoards();
    std::size_t i = 0;
    for (auto _ : state) {
        PatternBoard a;
        PatternBoard b;
        for (std::size_t cell = 0; cell < 16; ++cell) {
            const auto tile = static_cast<std::size_t>(boards[i][cell]);
            a[cell] = classOfTileA[tile];
            b[cell] = classOfTileB[tile];
        }
        benchmark::DoNotOptimize(rankPattern(a));
        benchmark::DoNotOptimize(rankPattern(b));
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_RankTwoPatterns);

}  // namespace
}  // namespace fifteen
