// Estimated scaling of both parallel searches on N cores, from measured node
// counts. For each instance it records the nodes of every work item in every
// iteration and replays the schedule of N workers on them, one node a time unit:
//
// - per-item design (--parallel items): the layer of at most N items that the
//   program would build; each item alone runs its iterations below the optimal
//   length and its final iteration up to its first solution (items without one
//   there count nothing for it); the time is the longest item.
// - shared deepening: the items of the shared frontier in the program's order
//   (index order, then most nodes of the previous iteration first); each
//   iteration's time is the makespan of N workers taking items in that order;
//   in the final one the winner (first in order with a solution) counts up to
//   its solution, and items after it run only if taken before it had found it,
//   and only until then (its finder stops them).
//
// Speed-up is one-thread nodes over the estimated time, overhead total nodes
// over one-thread nodes. The instances are spread over this program's own
// threads; results do not depend on them.
//
//   fifteen_scaling_bench [--instances 1-10,55] [--threads T] [--shared-only]
//
// --shared-only skips the per-item design (most of the run time) but for its
// one-thread search, which every speed-up needs.

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <queue>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/wd/wd_eval.h"
#include "puzzle/standard_instances.h"
#include "search/frontier.h"
#include "search/preparation.h"
#include "search/shared_deepening.h"
#include "search/solver_state.h"

namespace {

using fifteen::SolverState;

constexpr int workerCounts[] = {1, 2, 4, 8, 16, 32, 64};
constexpr std::size_t columns = std::size(workerCounts);

struct ItemRun {
    uint64_t nodes;  // to its first solution if found, else the whole iteration
    bool found;
};

struct Estimate {
    double work = 0;  // total nodes
    double time = 0;  // critical path in nodes
};

struct InstanceResult {
    int number = 0;
    int length = 0;
    uint64_t oneThread = 0;
    Estimate items[columns];
    Estimate shared[columns];
};

std::set<int> parseSelection(const char* text) {
    std::set<int> chosen;
    std::string s(text);
    std::size_t start = 0;
    while (start <= s.size()) {
        const std::size_t end = std::min(s.find(',', start), s.size());
        const std::string part = s.substr(start, end - start);
        const std::size_t dash = part.find('-');
        if (dash != std::string::npos) {
            for (int i = std::atoi(part.c_str()); i <= std::atoi(part.c_str() + dash + 1); ++i)
                chosen.insert(i);
        } else if (!part.empty()) {
            chosen.insert(std::atoi(part.c_str()));
        }
        start = end + 1;
    }
    return chosen;
}

fifteen::SearchWorker& freshWorker(fifteen::SearchWorker& worker,
                                   const std::atomic<int32_t>& stop) {
    worker = {};
    worker.context.bestLength = &stop;
    return worker;
}

// One item of the per-item design as its worker runs it (see searchItem), up to
// the total length: nodes of the iterations below it plus the final iteration up
// to its first solution, or nothing for that one if it has none.
uint64_t perItemWork(const SolverState& state, int32_t item, int32_t length) {
    const std::atomic<int32_t> stop{fifteen::noSolutionLength};
    fifteen::SearchWorker worker;
    freshWorker(worker, stop);
    const fifteen::NodeBounds& start = fifteen::itemBounds(state, item);
    const int32_t last = length - state.frontier.depth[static_cast<std::size_t>(item)];
    uint64_t work = 0;
    for (int32_t bound = std::max(start.wd, start.pdb); bound <= last; bound += 2) {
        const uint64_t before = worker.context.nodes;
        int32_t blank = 0;
        const int32_t r =
            fifteen::searchItem(state, fifteen::defaultTableSet(), item, bound, worker, blank);
        if (bound < last || r == fifteen::searchFound) work += worker.context.nodes - before;
    }
    return work;
}

void estimateItems(SolverState& state, const fifteen::StandardInstance& instance,
                   InstanceResult& result, std::size_t columnsToRun) {
    std::map<std::tuple<int32_t, fifteen::BoardKey, int32_t>, uint64_t> known;
    for (std::size_t c = 0; c < columnsToRun; ++c) {
        state.maxThreads = workerCounts[c];
        fifteen::buildFrontier(state, fifteen::defaultTableSet());
        fifteen::prepareItems(state, fifteen::defaultTableSet());
        Estimate& e = result.items[c];
        for (int32_t item = state.firstItem; item <= state.lastItem; ++item) {
            const auto i = static_cast<std::size_t>(item);
            const auto key = std::make_tuple(state.frontier.depth[i], state.frontier.key[i],
                                             state.frontier.prevBlank[i]);
            auto it = known.find(key);
            if (it == known.end()) {
                it = known.emplace(key, perItemWork(state, item, instance.length)).first;
            }
            e.work += static_cast<double>(it->second);
            e.time = std::max(e.time, static_cast<double>(it->second));
        }
        if (c == 0) result.oneThread = static_cast<uint64_t>(e.work);
    }
}

// Makespan of `workers` taking the items in order; in the final iteration
// (winner < order.size()) the items after the winner are taken only until the
// winner has found its solution, and are stopped then.
void scheduleIteration(const std::vector<ItemRun>& runs, const std::vector<int32_t>& order,
                       std::size_t winner, int workers, Estimate& e) {
    std::priority_queue<double, std::vector<double>, std::greater<double>> free;
    for (int w = 0; w < workers; ++w) free.push(0.0);
    double found = 1e300;
    double end = 0;
    for (std::size_t pos = 0; pos < order.size(); ++pos) {
        const double start = free.top();
        if (pos > winner && start >= found) break;
        free.pop();
        auto nodes = static_cast<double>(runs[static_cast<std::size_t>(order[pos])].nodes);
        if (pos > winner) nodes = std::min(nodes, found - start);
        const double finish = start + nodes;
        if (pos == winner) found = finish;
        e.work += nodes;
        end = std::max(end, finish);
        free.push(finish);
    }
    e.time += end;
}

void estimateShared(SolverState& state, InstanceResult& result) {
    state.maxThreads = 2;  // any count above one gives the same items
    fifteen::buildSharedFrontier(state, fifteen::defaultTableSet());
    fifteen::prepareItems(state, fifteen::defaultTableSet());
    const int32_t count = state.itemCount;
    const std::atomic<int32_t> stop{fifteen::noSolutionLength};
    std::vector<int32_t> order(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = i;
    for (int32_t total = std::max(state.startWd, state.startPdb); total < fifteen::noSolutionLength;
         total += 2) {
        std::vector<ItemRun> runs(static_cast<std::size_t>(count));
        fifteen::SearchWorker worker;
        for (int32_t i = 0; i < count; ++i) {
            freshWorker(worker, stop);
            int32_t blank = 0;
            const int32_t r =
                fifteen::searchItem(state, fifteen::defaultTableSet(), state.firstItem + i,
                                    total - state.frontierDepth, worker, blank);
            runs[static_cast<std::size_t>(i)] = {worker.context.nodes, r == fifteen::searchFound};
        }
        std::size_t winner = order.size();
        for (std::size_t pos = 0; pos < order.size() && winner == order.size(); ++pos) {
            if (runs[static_cast<std::size_t>(order[pos])].found) winner = pos;
        }
        for (std::size_t c = 0; c < columns; ++c) {
            scheduleIteration(runs, order, winner, workerCounts[c], result.shared[c]);
        }
        if (winner < order.size()) {
            result.length = total;
            return;
        }
        std::sort(order.begin(), order.end(), [&runs](int32_t a, int32_t b) {
            const uint64_t na = runs[static_cast<std::size_t>(a)].nodes;
            const uint64_t nb = runs[static_cast<std::size_t>(b)].nodes;
            return na != nb ? na > nb : a < b;
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::set<int> chosen;
    int threads = 2;
    bool sharedOnly = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--shared-only") == 0) {
            sharedOnly = true;
        } else if (hasValue && std::strcmp(argv[i], "--instances") == 0) {
            chosen = parseSelection(argv[++i]);
        } else if (hasValue && std::strcmp(argv[i], "--threads") == 0) {
            threads = std::max(1, std::atoi(argv[++i]));
        }
    }
    fifteen::Preparation preparation;
    if (!preparation.start([](fifteen::PreparedTable) {})) return 1;
    preparation.join();
    if (!preparation.allSucceeded()) return 1;

    std::vector<fifteen::StandardInstance> instances;
    for (const auto& instance : fifteen::standardInstances) {
        if (chosen.empty() || chosen.count(instance.number) != 0) instances.push_back(instance);
    }
    std::vector<InstanceResult> results(instances.size());
    bool allOptimal = true;
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
    for (std::size_t k = 0; k < instances.size(); ++k) {
        auto state = std::make_unique<SolverState>();
        state->problem = instances[k].board;
        InstanceResult& r = results[k];
        r.number = instances[k].number;
        estimateShared(*state, r);
        estimateItems(*state, instances[k], r, sharedOnly ? 1 : columns);
#pragma omp critical(scalingReport)
        {
            if (r.length != instances[k].length) allOptimal = false;
            std::fprintf(stderr, "instance %3d: length %d (published %d), one thread %llu nodes\n",
                         r.number, r.length, instances[k].length,
                         static_cast<unsigned long long>(r.oneThread));
        }
    }

    double oneThread = 0;
    Estimate items[columns];
    Estimate shared[columns];
    for (const InstanceResult& r : results) {
        oneThread += static_cast<double>(r.oneThread);
        for (std::size_t c = 0; c < columns; ++c) {
            items[c].work += r.items[c].work;
            items[c].time += r.items[c].time;
            shared[c].work += r.shared[c].work;
            shared[c].time += r.shared[c].time;
        }
    }
    std::printf(
        "Estimated scaling over %zu instances (%.0f one-thread nodes).\n"
        "A simulation on measured node counts, one node a time unit: exact about the work,\n"
        "blind to memory, cache, thread start and frontier costs.\n"
        "%7s | %10s %10s | %10s %10s\n%7s | %10s %10s | %10s %10s\n",
        results.size(), oneThread, "cores", "items", "", "shared", "", "", "overhead", "speed-up",
        "overhead", "speed-up");
    for (std::size_t c = 0; c < columns; ++c) {
        char itemsText[32] = "         -          -";  // not estimated (--shared-only)
        if (items[c].time > 0) {
            std::snprintf(itemsText, sizeof itemsText, "%10.3f %10.2f", items[c].work / oneThread,
                          oneThread / items[c].time);
        }
        std::printf("%7d | %s | %10.3f %10.2f\n", workerCounts[c], itemsText,
                    shared[c].work / oneThread, oneThread / shared[c].time);
    }
    return allOptimal ? 0 : 1;
}
