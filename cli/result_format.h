#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "cli/solve_record.h"

namespace fifteen::cli {

std::string withUnixLineEnds(const std::string& text);

// The output box text (problem and report), then a blank line; an invalid
// position gives one line naming where it came from and what is wrong.
std::string formatText(const SolveRecord& record);

// Fields: input, origin, status, and for invalid input error; otherwise length
// (null unless solved), moves, directions, wd, pdb, threads, maxThreads, nodes,
// nodesBelowFinalBound, ms.
nlohmann::json formatJson(const SolveRecord& record);

}  // namespace fifteen::cli
