#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <limits>

#include "fifteen/version.h"

#include "search/stronger_tables.h"

namespace fifteen::cli {

const char* tableChoiceName(TableChoice choice) {
    return choice == TableChoice::stronger ? strongerTablesOption : "default";
}

std::optional<TableChoice> tableChoiceNamed(std::string_view word) {
    for (const TableChoice choice : {TableChoice::defaultSet, TableChoice::stronger}) {
        if (word == tableChoiceName(choice)) return choice;
    }
    return std::nullopt;
}

std::optional<ParallelDesign> parallelDesignNamed(std::string_view word) {
    if (word == "shared") return ParallelDesign::shared;
    if (word == "items") return ParallelDesign::items;
    return std::nullopt;
}

std::optional<int> parseOptions(int argc, const char* const* argv, CliOptions& options,
                                std::ostream& out, std::ostream& err) {
    CLI::App app{"Optimal 15-puzzle solver: prints a shortest solution of each position.",
                 "fifteen-solve"};
    app.footer(
        "A position is 16 numbers in reading order, the blank as 0, separated by spaces\n"
        "and/or commas; rows may also be separated by '/'. '#' starts a comment that runs\n"
        "to the end of the line. Each argument is one position (sixteen one-number\n"
        "arguments are taken together as one); with --file, '-' or no position, one\n"
        "position per line (blank and comment lines are skipped).\n"
        "--review MOVES plays MOVES (tile numbers, or U/D/L/R letters: the way each tile\n"
        "slides, as Copy solution and the report print them) from each position and\n"
        "prints the optimal distance after each move and the moves that lost 2; with\n"
        "--review :, each position's line carries its own moves after a ':', as in\n"
        "\"1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15 : 15 11 15\".\n"
        "Exit codes: 0 all answered, 1 internal failure, 2 invalid input or usage\n"
        "(also an illegal move to review), 130 interrupted.");
    app.set_version_flag("--version",
                         std::string("fifteen-solve ") + versionString + " (" + gitRevision + ")");
    app.add_option("positions", options.positions, "positions to solve, or '-' for standard input");
    app.add_option("-f,--file", options.file, "read positions from a file, one per line")
        ->check(CLI::ExistingFile);
    std::string format = "text";
    const CLI::Validator formatWord(
        [](const std::string& word) {
            return word == "text" || word == "json" ? std::string()
                                                    : "must be text or json, not '" + word + "'";
        },
        "");
    app.add_option("--format", format, "text (the report) or json (one object a line)")
        ->type_name("text|json")
        ->check(formatWord);
    app.add_option("-t,--threads", options.threads,
                   "search threads at most for each position (default: the OpenMP maximum; "
                   "positions whose start bound is 32 or less are then searched on one thread "
                   "each, several at once, and answered in input order)")
        ->check(CLI::Range(1, frontierCapacity));  // more could never get work
    std::string parallel = "shared";
    const CLI::Validator parallelWord(
        [](const std::string& word) {
            return parallelDesignNamed(word) ? std::string()
                                             : "must be shared or items, not '" + word + "'";
        },
        "");
    app.add_option("--parallel", parallel,
                   "with more than one thread: shared (every thread on one bound, many small "
                   "items) or items (one thread per item, each deepening on its own)")
        ->type_name("shared|items")
        ->check(parallelWord);
    app.add_flag("--verify", options.verify,
                 "replay every solution to the goal; exit 1 if one does not reach it");
    app.add_flag("--bench", options.bench,
                 "solve a fixed set of positions (one thread unless --threads) and print the "
                 "node count, the node signature, the time and nodes/s");
    app.add_flag("--analyse", options.analyse,
                 "with each answer, the legal moves and whether each keeps the solution optimal "
                 "(text: a line after the report; json: an analysis array)");
    app.add_option("--review", options.review,
                   "play MOVES from each position and print the optimal distance after each "
                   "move, the total and the moves that lost (':' : the moves after a ':' on each "
                   "position's line)")
        ->type_name("MOVES");
    std::string goal;
    app.add_option("--goal", goal,
                   "the goal positions are written for: blank-last (1 2 ... 15 0, the default) "
                   "or blank-first (0 1 2 ... 15, as Korf's instances are published)")
        ->type_name("blank-last|blank-first")
        ->check(CLI::Validator(
            [](const std::string& word) {
                return parseGoal(word) ? std::string()
                                       : "must be blank-last or blank-first, not '" + word + "'";
            },
            ""));
    app.add_option("--line-offset", options.lineOffset,
                   "add N to the line numbers of origins: the chunk of a split file that starts "
                   "after its line N names the file's own lines")
        ->type_name("N")
        ->check(CLI::Range(int64_t{0}, std::numeric_limits<int64_t>::max() / 2).description(""));
    std::string tables = tableChoiceName(TableChoice::defaultSet);
    CLI::Option* tablesOption =
        app.add_option("--tables", tables,
                       "the bound the search is built on: default (walking distance and two 5+5 "
                       "databases, built at every start in about a second) or 7-8 (additive 7+8 "
                       "databases: far fewer nodes; built once, about 2 minutes and 2.2 GB, and "
                       "kept in a 577 MB file under $XDG_CACHE_HOME/fifteen, mapped at later "
                       "starts)")
            ->type_name("default|7-8")
            ->check(CLI::Validator(
                [](const std::string& word) {
                    return tableChoiceNamed(word) ? std::string()
                                                  : "must be default or 7-8, not '" + word + "'";
                },
                ""));
    app.add_flag("--build-tables", options.buildTables,
                 "build the 7-8 tables and store them in the cache file (or check the one "
                 "there), print where and how large, and end without solving");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);  // --help, --version
        err << "fifteen-solve: " << e.what() << " (see --help)\n";
        return exitBadInput;
    }
    options.format = format == "json" ? OutputFormat::json : OutputFormat::text;
    options.parallel = *parallelDesignNamed(parallel);
    if (!goal.empty()) options.goal = parseGoal(goal);
    options.tables = *tableChoiceNamed(tables);
    // --bench prints the default set's signature; another set's counts would
    // read as a changed search.
    if (options.bench && options.tables != TableChoice::defaultSet) {
        err << "fifteen-solve: --bench runs on the default tables only; for the 7-8 tables use "
               "bench/korf100 --tables 7-8 (see --help)\n";
        return exitBadInput;
    }
    if (options.buildTables &&
        (options.bench || !options.positions.empty() || !options.file.empty() || options.analyse ||
         options.review ||
         (tablesOption->count() > 0 && options.tables != TableChoice::stronger))) {
        err << "fifteen-solve: --build-tables solves nothing: it takes no positions, --file, "
               "--bench, --analyse, --review or --tables default (see --help)\n";
        return exitBadInput;
    }
    return std::nullopt;
}

}  // namespace fifteen::cli
