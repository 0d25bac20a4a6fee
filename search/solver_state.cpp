#include "search/solver_state.h"

namespace fifteen {

SolverState solverState{};

}  // namespace fifteen
