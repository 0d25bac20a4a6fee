// Single-thread search speed on Korf instances that run on walking distance alone
// (their walking distance is at least their pattern-database value), so the
// figure is the speed of the inner search itself. Prints, per instance and in
// total, the nodes, the node signature (nodes of the iterations below the final
// bound: it changes only when the search does), the median time of the runs and
// nodes per second by wall clock and by the thread's CPU time.
//
//   fifteen_search_bench [--runs N] [--threads T]

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "puzzle/standard_instances.h"
#include "search/preparation.h"
#include "search/solve_job.h"
#include "search/solver_state.h"

namespace {
using fifteen::QuietOutput;

// Walking distance at least the database value, each well under a second.
const fifteen::StandardInstance instances[] = {
    fifteen::standardInstance(3),  fifteen::standardInstance(4),  fifteen::standardInstance(10),
    fifteen::standardInstance(15), fifteen::standardInstance(17), fifteen::standardInstance(22),
    fifteen::standardInstance(53), fifteen::standardInstance(60),
};

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Measured {
    uint64_t nodes = 0;
    uint64_t signature = 0;
    std::vector<double> wall;
    std::vector<double> cpu;
};

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int threads = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--threads") == 0) threads = std::max(1, std::atoi(argv[i + 1]));
    }
    fifteen::Preparation preparation;
    if (!preparation.start([](fifteen::PreparedTable) {})) return 1;
    preparation.join();
    if (!preparation.allSucceeded()) return 1;
    fifteen::solverState.maxThreads = threads;

    constexpr std::size_t count = std::size(instances);
    std::vector<Measured> measured(count);
    std::vector<double> totalWall;
    std::vector<double> totalCpu;
    bool allOptimal = true;
    for (int run = 0; run < runs; ++run) {
        double wallSum = 0;
        double cpuSum = 0;
        for (std::size_t i = 0; i < count; ++i) {
            QuietOutput output;
            const double cpu0 = threadCpuSeconds();
            const auto t0 = std::chrono::steady_clock::now();
            fifteen::solveJob(instances[i].board, output);
            const double wall =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            const double cpu = threadCpuSeconds() - cpu0;
            const fifteen::SolverState& state = fifteen::solverState;
            if (state.status != fifteen::solveSolved ||
                state.bestLength.load() != instances[i].length) {
                std::fprintf(stderr, "instance %d: length %d, published %d\n", instances[i].number,
                             state.bestLength.load(), instances[i].length);
                allOptimal = false;
            }
            measured[i].nodes = state.nodes;
            measured[i].signature = state.nodesBelowFinalBound;
            measured[i].wall.push_back(wall);
            measured[i].cpu.push_back(cpu);
            wallSum += wall;
            cpuSum += cpu;
        }
        totalWall.push_back(wallSum);
        totalCpu.push_back(cpuSum);
    }

    std::printf("threads %d, median of %d runs\n", threads, runs);
    std::printf("%8s %6s %12s %12s %9s %10s %10s\n", "instance", "length", "nodes", "signature",
                "ms", "Mnodes/s", "cpu Mn/s");
    uint64_t nodes = 0;
    uint64_t signature = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Measured& m = measured[i];
        const double wall = median(m.wall);
        const double cpu = median(m.cpu);
        std::printf("%8d %6d %12llu %12llu %9.1f %10.1f %10.1f\n", instances[i].number,
                    instances[i].length, static_cast<unsigned long long>(m.nodes),
                    static_cast<unsigned long long>(m.signature), wall * 1e3,
                    static_cast<double>(m.nodes) / wall * 1e-6,
                    static_cast<double>(m.nodes) / cpu * 1e-6);
        nodes += m.nodes;
        signature += m.signature;
    }
    const double wall = median(totalWall);
    const double cpu = median(totalCpu);
    std::printf("%8s %6s %12llu %12llu %9.1f %10.1f %10.1f\n", "total", "",
                static_cast<unsigned long long>(nodes), static_cast<unsigned long long>(signature),
                wall * 1e3, static_cast<double>(nodes) / wall * 1e-6,
                static_cast<double>(nodes) / cpu * 1e-6);
    return allOptimal ? 0 : 1;
}
