#pragma once

#include <ostream>
#include <vector>

#include "puzzle/standard_instances.h"
#include "search/solver.h"

namespace fifteen::cli {

// The fixed list of quick standard instances that --bench solves.
std::vector<StandardInstance> benchInstances();

// Solves instances with solver, set to `threads` workers at most (tables ready;
// its design is kept), and prints each,
// then the total nodes, the node signature (the sum of the nodes below each final
// bound: with a fixed thread count it changes only when the search itself
// changes), the time and nodes per second. Returns 1 when a length differs from
// the instance's, after the line "N instance(s) with a wrong length"; 130 when
// interrupted; else 0.
int runBench(Solver& solver, const std::vector<StandardInstance>& instances, int threads,
             std::ostream& out);

}  // namespace fifteen::cli
