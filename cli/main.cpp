// fifteen-solve: the command-line front end over the solver core.
#include <omp.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/bench.h"
#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/position_source.h"
#include "cli/progress.h"
#include "cli/result_format.h"
#include "cli/solve_record.h"
#include "puzzle/position_parser.h"
#include "puzzle/solution_replay.h"
#include "search/preparation.h"
#include "search/solver_state.h"

namespace fifteen::cli {
namespace {

constexpr int exitAnswered = 0;
constexpr int exitInternalFailure = 1;
constexpr int exitInterrupted = 130;

const char* tableName(PreparedTable table) {
    switch (table) {
        case PreparedTable::patternDbA:
            return "pattern database A";
        case PreparedTable::patternDbB:
            return "pattern database B";
        case PreparedTable::wdTable:
            return "walking-distance table";
    }
    return "table";
}

class Runner {
  public:
    Runner(const CliOptions& options, bool progress) : options_(options), progress_(progress) {}

    // False when the run must stop: interrupted, or the tables are missing.
    bool answer(const PositionInput& input);
    int exitCode() const;
    bool prepareTables();

  private:
    void print(const SolveRecord& record);

    const CliOptions& options_;
    const bool progress_;
    std::unique_ptr<Preparation> preparation_;
    bool tablesReady_ = false;
    bool anyInvalid_ = false;
    bool internalFailure_ = false;
};

// Built on first need, so a run with only invalid input costs no table build.
bool Runner::prepareTables() {
    if (tablesReady_) return true;
    if (internalFailure_) return false;
    if (progress_) std::fprintf(stderr, "fifteen-solve: building the tables...\n");
    preparation_ = std::make_unique<Preparation>();
    const bool progress = progress_;
    bool built = false;
    try {
        built = preparation_->start([progress](PreparedTable table) {
            if (progress) std::fprintf(stderr, "fifteen-solve: %s ready\n", tableName(table));
        });
        if (built) preparation_->join();
    } catch (const std::exception& e) {
        // A build thread that could not be started: the threads that did start
        // are joined when preparation_ goes.
        std::fprintf(stderr, "fifteen-solve: internal failure: %s\n", e.what());
        internalFailure_ = true;
        return false;
    }
    if (!built) {
        std::fprintf(stderr, "fifteen-solve: internal failure: a table could not be allocated\n");
        internalFailure_ = true;
        return false;
    }
    if (!preparation_->allSucceeded()) {
        std::fprintf(stderr, "fifteen-solve: internal failure: a table could not be built\n");
        internalFailure_ = true;
        return false;
    }
    tablesReady_ = true;
    return true;
}

void Runner::print(const SolveRecord& record) {
    if (options_.format == OutputFormat::json) {
        const std::string line =
            formatJson(record).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        std::fprintf(stdout, "%s\n", line.c_str());
    } else {
        std::fputs(formatText(record).c_str(), stdout);
    }
    std::fflush(stdout);
}

bool Runner::answer(const PositionInput& input) {
    if (interruptRequested()) return false;
    const ParsedPosition parsed = parsePosition(input.text);
    if (!parsed.ok) {
        std::fprintf(stderr, "fifteen-solve: %s: %s\n", input.origin.c_str(), parsed.error.c_str());
        SolveRecord record;
        record.origin = input.origin;
        record.input = input.text;
        record.status = "invalid";
        record.error = parsed.error;
        print(record);
        anyInvalid_ = true;
        return true;
    }
    if (!prepareTables()) return false;
    if (interruptRequested()) return false;
    solverState.maxThreads = options_.threads > 0 ? options_.threads : omp_get_max_threads();
    SolveRecord record;
    {
        std::optional<ProgressTicker> ticker;
        if (progress_) ticker.emplace(input.origin);
        record = solvePosition(parsed.board, input.origin, input.text);
    }
    print(record);
    if (record.status == "invalid") anyInvalid_ = true;  // the core's own board check
    if (options_.verify && record.status == "solved") {
        std::string directions;
        if (!replaySolution(parsed.board, record.moves, directions)) {
            std::fprintf(stderr,
                         "fifteen-solve: %s: VERIFY FAILED: the %d-move solution does not reach "
                         "the goal\n",
                         input.origin.c_str(), record.length);
            internalFailure_ = true;
        }
    }
    return record.status != "cancelled";
}

int Runner::exitCode() const {
    if (interruptRequested()) return exitInterrupted;
    if (internalFailure_) return exitInternalFailure;
    if (anyInvalid_) return exitBadInput;
    return exitAnswered;
}

int run(int argc, char** argv) {
    CliOptions options;
    if (const auto code = parseOptions(argc, argv, options, std::cout, std::cerr)) return *code;
    installInterruptHandler();
    Runner runner(options, isatty(STDERR_FILENO) == 1);
    if (options.bench) {
        if (!runner.prepareTables()) return exitInternalFailure;
        if (interruptRequested()) return exitInterrupted;
        const int code = runBench(options.threads > 0 ? options.threads : 1, std::cout);
        return interruptRequested() ? exitInterrupted : code;
    }

    const auto answerStream = [&runner](std::istream& in, const std::string& name) {
        LineSource source(in, name);
        PositionInput input;
        while (source.next(input)) {
            if (!runner.answer(input)) return false;
        }
        return true;
    };
    bool going = true;
    int argumentNumber = 0;
    for (const std::string& text : options.positions) {
        ++argumentNumber;
        if (!going) break;
        going = text == "-" ? answerStream(std::cin, "stdin")
                            : runner.answer({"argument " + std::to_string(argumentNumber), text});
    }
    if (going && !options.file.empty()) {
        std::ifstream file(options.file);
        if (!file) {
            std::fprintf(stderr, "fifteen-solve: cannot read %s\n", options.file.c_str());
            return exitBadInput;
        }
        going = answerStream(file, options.file);
    }
    if (going && options.positions.empty() && options.file.empty()) answerStream(std::cin, "stdin");
    return runner.exitCode();
}

}  // namespace
}  // namespace fifteen::cli

int main(int argc, char** argv) {
    return fifteen::cli::run(argc, argv);
}
