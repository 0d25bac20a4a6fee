#pragma once

// Oracles and fixtures shared by the search tests.

#include <cstdint>

#include "puzzle/board.h"
#include "tests/support/distances.h"
#include "tests/support/walks.h"

namespace fifteen::testing {

// The process-wide walking-distance table, built on first use.
void requireWdTable();
// All three tables, built once per process by the program's start-up.
void requireAllTables();

// The oracles every test folder uses (tests/support), under the names these
// tests call them by.
using test_support::blankCell;
using test_support::positionsWithin;
using test_support::randomWalkFromGoal;
using test_support::replayMoves;
using test_support::replayReachesGoal;

int32_t walkingDistance(const Board& board);

}  // namespace fifteen::testing
