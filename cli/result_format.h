#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "cli/solve_record.h"

namespace fifteen::cli {

std::string withUnixLineEnds(const std::string& text);

// "solved", "unsolvable", "cancelled" or "invalid".
const char* statusName(SolveStatus status);

// The output box text (problem and report), then a blank line; an invalid
// position gives one line naming where it came from and what is wrong.
// withOrigin: first a line "# ORIGIN", so answers of many positions can be
// matched to their input.
std::string formatText(const SolveRecord& record, bool withOrigin = false);

// Fields: input, origin, status, goal (when --goal was given), and for invalid
// input error; otherwise length
// (null unless solved), moves, directions, wd, pdb, threads, maxThreads, nodes,
// nodesBelowFinalBound, ms. With --analyse, analysis: one object a legal move
// (tile, direction, length after it, optimal); with --review, review: moves
// (tiles played), distances, lost (moves counted from 1), illegalMove (or null),
// ended (the distance after the last move) and summary.
nlohmann::json formatJson(const SolveRecord& record);

}  // namespace fifteen::cli
