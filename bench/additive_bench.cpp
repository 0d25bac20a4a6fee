// The stronger tables at full size: the build of both databases, and later the
// file, the load and solves over them. Not run by CI (minutes, 2 GB).
//
//   fifteen_additive_bench build [threads [7|8]]   both builds (or one), in memory only
//   fifteen_additive_bench cache [threads]   load, or build and store, the cache file
//   fifteen_additive_bench korf threads [first [last]]   Korf's instances with the 7+8 set
//   fifteen_additive_bench position threads "cells"      one position with the 7+8 set
// FIFTEEN_BENCH_DESIGN=items runs the per-item parallel search instead of the shared one.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "heuristics/additive/group_db_build.h"
#include "heuristics/additive/table_cache.h"
#include "puzzle/standard_instances.h"
#include "search/preparation.h"
#include "search/solve_output.h"
#include "search/solver.h"
#include "search/solver_state.h"
#include "search/stronger_tables.h"
#include "search/table_set.h"

namespace {

using namespace fifteen;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

int benchBuild(int32_t threads, int32_t only) {
    const Clock::time_point start = Clock::now();
    for (const TileGroup* group : {&groupOf7, &groupOf8}) {
        if (only != 0 && group->size != only) continue;
        std::vector<uint8_t> entries(static_cast<std::size_t>(groupEntryCount(group->size)));
        std::vector<int64_t> layers;
        GroupBuildOptions options;
        options.threads = threads;
        options.layerSizes = &layers;
        const Clock::time_point begin = Clock::now();
        const int32_t maxDepth = buildGroupDb(*group, entries.data(), options);
        std::printf("group of %d: max entry %d, %.1f s\n", group->size, maxDepth,
                    secondsSince(begin));
        if (std::getenv("FIFTEEN_BENCH_LAYERS") != nullptr) {
            for (std::size_t d = 0; d < layers.size(); ++d) {
                std::printf("  %2zu %lld\n", d, static_cast<long long>(layers[d]));
            }
        }
        if (maxDepth < 0) return 1;
    }
    std::printf("build of both: %.1f s wall on %d threads, peak %ld MB\n", secondsSince(start),
                threads, peakMegabytes());
    return 0;
}

// Loads the tables from $XDG_CACHE_HOME/fifteen, building and storing them first
// when the file is not valid.
int benchCache(int32_t threads) {
    std::string error;
    const std::string folder = tableCacheDirectory(error);
    if (folder.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    StoredTables tables;
    TableCacheOptions options;
    options.threads = threads;
    options.report = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    const Clock::time_point start = Clock::now();
    const TableCacheResult result =
        loadOrBuildTables(folder + "/tables-7-8.bin", {groupOf7, groupOf8}, tables, options);
    const char* how = result == TableCacheResult::loaded  ? "loaded"
                      : result == TableCacheResult::built ? "built and stored"
                                                          : "failed";
    std::printf("%s in %.3f s, peak %ld MB\n", how, secondsSince(start), peakMegabytes());
    return result == TableCacheResult::loaded || result == TableCacheResult::built ? 0 : 1;
}

bool parseBoard(const char* text, Board& board) {
    int32_t cell = 0;
    for (const char* p = text; *p != '\0' && cell < 16;) {
        char* end = nullptr;
        const long value = std::strtol(p, &end, 10);
        if (end == p) break;
        board[static_cast<std::size_t>(cell++)] = static_cast<int32_t>(value);
        p = end;
    }
    return cell == 16 && isValidBoard(board);
}

// Solves Korf's instances first..last (or one position) with the 7+8 set on
// threads threads: lengths checked against the published ones, nodes and the
// search time the solver reports (frontier and search) summed.
int benchSolve(int32_t threads, int32_t first, int32_t last, const char* position) {
    Preparation preparation;
    if (!preparation.start([](PreparedTable) {})) return 1;
    preparation.join();
    if (!preparation.allSucceeded()) return 1;
    std::string error;
    const std::string path = strongerTablesPath(error);
    StrongerTables stronger;
    TableCacheOptions options;
    options.threads = 2;
    const Clock::time_point loadStart = Clock::now();
    if (path.empty() || (stronger.prepare(path, options) != TableCacheResult::loaded &&
                         stronger.tableSet() == nullptr)) {
        std::fprintf(stderr, "no tables: %s\n", error.c_str());
        return 1;
    }
    std::printf("tables ready in %.3f s\n", secondsSince(loadStart));
    SolverState state{};
    SolveOptions solveOptions;
    solveOptions.maxThreads = threads;
    if (const char* design = std::getenv("FIFTEEN_BENCH_DESIGN");
        design != nullptr && std::strcmp(design, "items") == 0) {
        solveOptions.design = ParallelDesign::items;
    }
    Solver solver(state, *stronger.tableSet(), solveOptions);
    uint64_t nodes = 0;
    int64_t ms = 0;
    double wall = 0;
    bool allOptimal = true;
    const auto run = [&](const Board& board, int32_t number, int32_t published) {
        QuietOutput output;
        const Clock::time_point t0 = Clock::now();
        const SolveResult result = solver.solve(board, output);
        const double seconds = secondsSince(t0);
        std::printf("%4d %3d %3d %12llu %9lld ms %8.3f s\n", number, published, result.length,
                    static_cast<unsigned long long>(result.nodes),
                    static_cast<long long>(result.elapsedMs), seconds);
        if (published >= 0 && result.length != published) allOptimal = false;
        nodes += result.nodes;
        ms += result.elapsedMs;
        wall += seconds;
    };
    if (position != nullptr) {
        Board board{};
        if (!parseBoard(position, board)) return 2;
        run(board, 0, -1);
    } else {
        for (int32_t n = first; n <= last; ++n) {
            const StandardInstance& instance = standardInstance(n);
            run(instance.board, n, instance.length);
        }
    }
    std::printf("threads %d: %llu nodes, search %.3f s (reported), %.3f s wall, %s\n", threads,
                static_cast<unsigned long long>(nodes), static_cast<double>(ms) / 1e3, wall,
                allOptimal ? "all optimal" : "NOT ALL OPTIMAL");
    return allOptimal ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "build") == 0) {
        return benchBuild(argc >= 3 ? std::atoi(argv[2]) : 2, argc >= 4 ? std::atoi(argv[3]) : 0);
    }
    if (argc >= 2 && std::strcmp(argv[1], "cache") == 0) {
        return benchCache(argc >= 3 ? std::atoi(argv[2]) : 2);
    }
    if (argc >= 3 && std::strcmp(argv[1], "korf") == 0) {
        const int32_t threads = std::atoi(argv[2]);
        const int32_t first = argc >= 4 ? std::atoi(argv[3]) : 1;
        const int32_t last = argc >= 5 ? std::atoi(argv[4]) : 100;
        return benchSolve(threads, first, last, nullptr);
    }
    if (argc >= 4 && std::strcmp(argv[1], "position") == 0) {
        return benchSolve(std::atoi(argv[2]), 0, 0, argv[3]);
    }
    std::fprintf(stderr,
                 "usage: fifteen_additive_bench build|cache [threads]\n"
                 "       fifteen_additive_bench korf threads [first [last]]\n"
                 "       fifteen_additive_bench position threads \"cells\"\n");
    return 2;
}
