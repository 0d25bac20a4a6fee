#pragma once

#include <ostream>

namespace fifteen::cli {

// Solves a fixed list of quick standard instances with `threads` workers at most
// (tables ready) and prints each, then the total nodes, the node signature (the
// sum of the nodes below each final bound: with a fixed thread count it changes
// only when the search itself changes), the time and nodes per second. Returns 1
// when a length differs from the published one, 130 when interrupted, else 0.
int runBench(int threads, std::ostream& out);

}  // namespace fifteen::cli
