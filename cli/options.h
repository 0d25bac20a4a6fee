#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "puzzle/goal.h"
#include "search/solver.h"

namespace fifteen::cli {

enum class OutputFormat { text, json };

// The table set the searches are built on (--tables).
enum class TableChoice { defaultSet, stronger };

// The word --tables takes for each set, also the JSON report's "tables" field.
const char* tableChoiceName(TableChoice choice);

// The values of the options the desktop program shares with this one, read
// once for both: --tables and --parallel; nullopt for any other word.
std::optional<TableChoice> tableChoiceNamed(std::string_view word);
std::optional<ParallelDesign> parallelDesignNamed(std::string_view word);

struct CliOptions {
    std::vector<std::string> positions;  // "-" stands for standard input
    std::string file;                    // empty: none
    OutputFormat format = OutputFormat::text;
    int threads = 0;  // 0: not given
    ParallelDesign parallel = ParallelDesign::shared;
    bool verify = false;
    bool bench = false;
    // With each answer, every legal move and whether it keeps the solution optimal.
    bool analyse = false;
    // --review MOVES: the moves to review from each position; ":" takes each
    // position's own moves from after a ':' on its line.
    std::optional<std::string> review;
    std::optional<Goal> goal;  // the goal positions are written for; none given: blank last
    int64_t lineOffset = 0;    // added to the line numbers of origins (a chunk of a split file)
    TableChoice tables = TableChoice::defaultSet;
    // Build (or check) the stronger tables' cache file and end, solving nothing.
    bool buildTables = false;
};

// The exit codes: every position answered; an internal failure; a failed usage
// (also the code for invalid positions); interrupted.
inline constexpr int exitAnswered = 0;
inline constexpr int exitInternalFailure = 1;
inline constexpr int exitBadInput = 2;
inline constexpr int exitInterrupted = 130;

// Fills options from the command line. Returns an exit code when the program is
// to end at once (0 after --help or --version, exitBadInput after a usage error,
// whose message goes to err), nothing when it is to go on.
std::optional<int> parseOptions(int argc, const char* const* argv, CliOptions& options,
                                std::ostream& out, std::ostream& err);

}  // namespace fifteen::cli
