#include "cli/bench.h"

#include <cstdint>
#include <cstdio>

#include "cli/solve_record.h"

namespace fifteen::cli {
namespace {

// Standard instances that take a few tenths of a second each on one thread, some
// running on the walking distance alone, some (56, 69) led by the databases.
constexpr int benchNumbers[] = {3, 4, 7, 15, 26, 32, 53, 56, 69, 98};

}  // namespace

std::vector<StandardInstance> benchInstances() {
    std::vector<StandardInstance> instances;
    for (const int number : benchNumbers) instances.push_back(standardInstance(number));
    return instances;
}

int runBench(Solver& solver, const std::vector<StandardInstance>& instances, int threads,
             std::ostream& out) {
    solver.setOptions(SolveOptions{threads, solver.options().design});
    uint64_t totalNodes = 0;
    uint64_t signature = 0;
    int64_t totalMs = 0;
    int wrong = 0;
    char line[160];
    std::snprintf(line, sizeof line, "%8s %6s %14s %14s %8s\n", "instance", "length", "nodes",
                  "signature", "ms");
    out << line;
    for (const StandardInstance& instance : instances) {
        const SolveRecord record = solvePosition(solver, instance.board,
                                                 "instance " + std::to_string(instance.number), "");
        if (record.status == solveCancelled) return 130;
        const bool right = record.status == solveSolved && record.length == instance.length;
        if (!right) ++wrong;
        std::snprintf(line, sizeof line, "%8d %6d %14llu %14llu %8lld%s\n", instance.number,
                      record.length, static_cast<unsigned long long>(record.nodes),
                      static_cast<unsigned long long>(record.nodesBelowFinalBound),
                      static_cast<long long>(record.ms), right ? "" : "  WRONG LENGTH");
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
