#include "cli/bench.h"

#include <cstdint>
#include <cstdio>

#include "cli/solve_record.h"
#include "search/solver_state.h"

namespace fifteen::cli {
namespace {

struct BenchInstance {
    int number;  // in the standard list of 100 (Korf 1985), mapped to our goal
    Board board;
    int32_t length;  // published optimal length
};

// Standard instances that take a few tenths of a second each on one thread, some
// running on the walking distance alone, some (56, 69) led by the databases.
constexpr BenchInstance benchInstances[] = {
    {3, {1, 15, 10, 13, 0, 11, 4, 7, 12, 6, 5, 3, 14, 8, 9, 2}, 59},
    {4, {10, 7, 12, 13, 3, 15, 14, 8, 0, 2, 5, 1, 9, 6, 4, 11}, 56},
    {7, {0, 2, 13, 7, 15, 6, 8, 4, 9, 10, 12, 3, 11, 1, 5, 14}, 52},
    {15, {0, 6, 13, 9, 14, 2, 11, 10, 1, 7, 8, 15, 4, 12, 5, 3}, 62},
    {26, {5, 14, 12, 15, 10, 7, 6, 0, 8, 2, 3, 1, 4, 13, 9, 11}, 58},
    {32, {1, 5, 13, 15, 0, 9, 4, 14, 8, 11, 10, 3, 12, 7, 6, 2}, 59},
    {53, {10, 11, 5, 13, 9, 15, 14, 0, 6, 8, 12, 1, 3, 4, 7, 2}, 64},
    {56, {8, 6, 2, 3, 0, 15, 7, 4, 9, 12, 10, 5, 11, 14, 1, 13}, 55},
    {69, {13, 9, 4, 5, 6, 8, 3, 14, 7, 12, 2, 15, 1, 11, 0, 10}, 53},
    {98, {10, 3, 12, 9, 1, 2, 6, 8, 7, 15, 14, 11, 4, 13, 5, 0}, 54},
};

}  // namespace

int runBench(int threads, std::ostream& out) {
    solverState.maxThreads = threads;
    uint64_t totalNodes = 0;
    uint64_t signature = 0;
    int64_t totalMs = 0;
    int wrong = 0;
    char line[160];
    std::snprintf(line, sizeof line, "%8s %6s %14s %14s %8s\n", "instance", "length", "nodes",
                  "signature", "ms");
    out << line;
    for (const BenchInstance& instance : benchInstances) {
        const SolveRecord record =
            solvePosition(instance.board, "instance " + std::to_string(instance.number), "");
        if (record.status == "cancelled") return 130;
        const bool right = record.status == "solved" && record.length == instance.length;
        if (!right) ++wrong;
        std::snprintf(line, sizeof line, "%8d %6d %14llu %14llu %8lld%s\n", instance.number,
                      record.length, static_cast<unsigned long long>(record.nodes),
                      static_cast<unsigned long long>(record.nodesBelowFinalBound),
                      static_cast<long long>(record.ms),
                      right ? "" : "  WRONG LENGTH");
        out << line << std::flush;
        totalNodes += record.nodes;
        signature += record.nodesBelowFinalBound;
        totalMs += record.ms;
    }
    const double seconds = static_cast<double>(totalMs) / 1000.0;
    std::snprintf(line, sizeof line,
                  "Threads: %d\nTotal nodes: %llu\nNode signature: %llu\nTime: %lld ms\n"
                  "Nodes/s: %.0f\n",
                  threads, static_cast<unsigned long long>(totalNodes),
                  static_cast<unsigned long long>(signature), static_cast<long long>(totalMs),
                  seconds > 0 ? static_cast<double>(totalNodes) / seconds : 0.0);
    out << line;
    if (wrong > 0) out << wrong << " instance(s) with a wrong length\n";
    return wrong > 0 ? 1 : 0;
}

}  // namespace fifteen::cli
