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

// Instances that solve in well under a second each on one thread.
constexpr BenchInstance benchInstances[] = {
    {55, {5, 10, 14, 4, 6, 12, 11, 1, 9, 0, 15, 7, 13, 2, 8, 3}, 41},
    {16, {0, 9, 12, 4, 5, 3, 2, 8, 10, 1, 7, 6, 11, 14, 13, 15}, 42},
    {42, {6, 1, 15, 8, 5, 10, 13, 0, 3, 4, 2, 7, 14, 9, 11, 12}, 42},
    {79, {1, 6, 10, 8, 14, 12, 4, 2, 13, 11, 3, 5, 9, 7, 15, 0}, 42},
    {71, {2, 3, 12, 8, 13, 14, 10, 1, 6, 7, 15, 4, 5, 0, 9, 11}, 44},
    {85, {1, 5, 0, 13, 11, 2, 8, 4, 10, 7, 14, 15, 6, 3, 9, 12}, 44},
    {97, {13, 5, 0, 4, 10, 3, 12, 6, 14, 15, 1, 8, 9, 11, 2, 7}, 44},
    {12, {1, 3, 5, 6, 0, 13, 14, 9, 11, 4, 8, 12, 10, 7, 15, 2}, 45},
    {61, {1, 0, 12, 8, 2, 4, 9, 15, 6, 11, 7, 5, 14, 13, 3, 10}, 45},
    {86, {1, 3, 8, 2, 13, 12, 9, 15, 14, 7, 4, 5, 6, 11, 0, 10}, 45},
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
