// fifteen-solve: the command-line front end over the solver core.
#include <omp.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "cli/batch_solve.h"
#include "cli/bench.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/output_writer.h"
#include "cli/position_source.h"
#include "cli/progress.h"
#include "cli/result_format.h"
#include "cli/solve_record.h"
#include "cli/stronger_tables_cli.h"
#include "heuristics/wd/wd_table.h"
#include "puzzle/move_text.h"
#include "puzzle/position_parser.h"
#include "puzzle/solution_replay.h"
#include "search/move_analysis.h"
#include "search/preparation.h"
#include "search/solver.h"
#include "search/stronger_tables.h"
#include "search/table_set.h"

namespace fifteen::cli {
namespace {

class Runner {
  public:
    Runner(const CliOptions& options, bool progress, Solver& solver, MoveAnalyser* analyser,
           const TableSet& tables)
        : options_(options),
          progress_(progress),
          solver_(solver),
          analyser_(analyser),
          tables_(tables) {}
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;
    ~Runner() { dropPending(); }

    // False when the run must stop: interrupted, the tables are missing, or an
    // answer could not be written.
    // withOrigin: the text report starts with the line naming the input.
    bool answer(const PositionInput& input, bool withOrigin);
    // The same for several inputs at once, answered in their order (withOrigin
    // for each): with the default options, the positions that are searched on
    // one thread are solved side by side first. Their answers may still be
    // pending when it returns (written by the next call, or by flush), unless
    // more is false: no further input is there yet.
    bool answerMany(std::vector<PositionInput> inputs, std::vector<bool> withOrigin, bool more);
    // Writes the answers still pending; false when the run must stop.
    bool flush();
    int exitCode() const;
    bool prepareTables();

  private:
    // False when the answer could not be written (reported; the run ends).
    bool print(const SolveRecord& record, bool withOrigin);
    bool write(const std::string& text);
    // The record as printed: its goal and table set filled in, its text. Reads
    // the options only, so that any thread may make it.
    std::string finalText(SolveRecord& record, bool withOrigin) const;
    // Whether --verify finds the record's solution wrong (any thread).
    bool failsVerify(const Board& board, const SolveRecord& record) const;
    // Prints a solved record and checks what it says; false when the run must stop.
    bool finish(const PositionInput& input, const Board& board, SolveRecord& record,
                bool withOrigin);
    // The same with its text and check made already (finalText, failsVerify).
    bool finishMade(const PositionInput& input, const SolveRecord& record, const std::string& text,
                    bool verifyFailed);
    // An input that is not a position (or whose moves are not moves).
    bool reject(const PositionInput& input, const std::string& error, bool withOrigin);
    SolveRecord solve(const PositionInput& input, const Board& board,
                      const std::vector<WrittenMove>& moves);

    const CliOptions& options_;
    const bool progress_;
    Solver& solver_;
    MoveAnalyser* const analyser_;  // with --analyse or --review
    const TableSet& tables_;
    std::unique_ptr<BatchSolver> batch_;
    // A chunk whose positions the workers solve (or have solved) while this
    // thread reads the next one and writes the last one's answers.
    struct Chunk {
        std::vector<PositionInput> inputs;
        std::vector<bool> withOrigin;
        std::vector<BatchJob> jobs;
        std::vector<SolveRecord> records;
        std::vector<std::string> texts;
        std::vector<char> verifyFailed;
    };
    std::unique_ptr<Chunk> pending_;
    // Writes the answers of a chunk whose batch is done, in order, answering
    // those the workers left; false when the run must stop.
    bool writeChunk(Chunk& chunk);
    // Ends the pending chunk's batch (cancelled when stopped) without writing.
    void dropPending();
    std::unique_ptr<Preparation> preparation_;
    bool tablesReady_ = false;
    bool anyInvalid_ = false;
    bool internalFailure_ = false;
    bool hinted_ = false;
    bool writeFailed_ = false;
};

constexpr const char* quoteHint =
    " (to give a position as arguments, quote it: \"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0\")";

// Built on first need, so a run with only invalid input costs no table build.
bool Runner::prepareTables() {
    if (tablesReady_) return true;
    if (internalFailure_) return false;
    // The 7+8 set reads the walking-distance table beside its own files: the two
    // 5+5 databases would be most of the start and never read.
    if (options_.tables == TableChoice::stronger) {
        if (!buildWdTable(wdTable)) {
            std::fprintf(stderr, "fifteen-solve: internal failure: a table could not be built\n");
            internalFailure_ = true;
            return false;
        }
        tablesReady_ = true;
        return true;
    }
    if (progress_) std::fprintf(stderr, "fifteen-solve: building the tables...\n");
    preparation_ = std::make_unique<Preparation>();
    // --threads lowers the start-up's threads, never raises them past the
    // hardware's: more threads than cores only wait for each other at every layer.
    const auto hardware = static_cast<int>(std::thread::hardware_concurrency());
    if (options_.threads > 0)
        preparation_->setThreadLimit(std::min(options_.threads, std::max(hardware, 1)));
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
        std::fprintf(stderr, "fifteen-solve: internal failure: %s\n",
                     preparation_->threadStartFailed() ? "a table build thread could not be started"
                                                       : "a table could not be allocated");
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

std::string formatted(const SolveRecord& record, OutputFormat format, bool withOrigin) {
    return format == OutputFormat::json
               ? formatJson(record).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
                     "\n"
               : formatText(record, withOrigin);
}

bool Runner::print(const SolveRecord& record, bool withOrigin) {
    return write(formatted(record, options_.format, withOrigin));
}

bool Runner::write(const std::string& text) {
    if (!writeChecked(stdout, text)) writeFailed_ = true;
    return !writeFailed_;
}

bool Runner::reject(const PositionInput& input, const std::string& error, bool withOrigin) {
    const bool hint = input.loneNumber && !hinted_;
    hinted_ = hinted_ || hint;
    std::fprintf(stderr, "fifteen-solve: %s: %s%s\n", input.origin.c_str(), error.c_str(),
                 hint ? quoteHint : "");
    SolveRecord record;
    record.origin = input.origin;
    record.input = input.text;
    record.status = solveInvalid;
    record.error = error;
    record.goal = options_.goal;
    anyInvalid_ = true;
    return print(record, withOrigin);
}

SolveRecord Runner::solve(const PositionInput& input, const Board& board,
                          const std::vector<WrittenMove>& moves) {
    if (analyser_ == nullptr) {
        return solvePosition(solver_, board, input.origin, input.text, progress_,
                             options_.goal.value_or(Goal::blankLast));
    }
    analyser_->setOptions(solver_.options());
    const Goal goal = options_.goal.value_or(Goal::blankLast);
    if (!options_.review) {
        return analysePosition(*analyser_, board, input.origin, input.text, progress_, goal);
    }
    SolveRecord record =
        reviewPosition(*analyser_, board, moves, input.origin, input.text, progress_, goal);
    if (options_.analyse && record.status == solveSolved) {
        const SolveRecord analysed =
            analysePosition(*analyser_, board, input.origin, input.text, false, goal);
        record.analysed = analysed.analysed;
        record.analysis = analysed.analysis;
        record.analysisText = analysed.analysisText;
        if (analysed.status == solveCancelled) record.status = solveCancelled;
    }
    return record;
}

bool Runner::answer(const PositionInput& input, bool withOrigin) {
    if (interruptRequested()) return false;
    std::string positionText = input.text;
    std::vector<WrittenMove> moves;
    if (options_.review) {
        std::string movesText = *options_.review;
        if (movesText == ":") {
            const std::size_t colon = positionText.find(':');
            if (colon == std::string::npos) {
                return reject(input, "no moves after a ':' to review", withOrigin);
            }
            movesText = positionText.substr(colon + 1);
            positionText.resize(colon);
        }
        const ParsedMoves parsedMoves = parseMoves(movesText);
        if (!parsedMoves.ok) {
            return reject(input, "moves to review: " + parsedMoves.error, withOrigin);
        }
        moves = parsedMoves.moves;
    }
    const ParsedPosition parsed = parsePosition(positionText);
    if (!parsed.ok) return reject(input, parsed.error, withOrigin);
    if (!prepareTables()) return false;
    if (interruptRequested()) return false;
    int threads = options_.threads;
    if (threads <= 0) {
        const bool oneThread =
            analyser_ == nullptr &&
            searchedOnOneThread(tables_, parsed.board, options_.goal.value_or(Goal::blankLast));
        threads = oneThread ? 1 : omp_get_max_threads();
    }
    solver_.setOptions(SolveOptions{threads, options_.parallel});
    SolveRecord record = solve(input, parsed.board, moves);
    return finish(input, parsed.board, record, withOrigin);
}

std::string Runner::finalText(SolveRecord& record, bool withOrigin) const {
    record.goal = options_.goal;
    record.tables = tableChoiceName(options_.tables);
    return formatted(record, options_.format, withOrigin);
}

bool Runner::failsVerify(const Board& board, const SolveRecord& record) const {
    if (!options_.verify || record.status != solveSolved) return false;
    std::string directions;
    return !replaySolution(board, record.moves, directions,
                           goalBoardOf(options_.goal.value_or(Goal::blankLast)));
}

bool Runner::finish(const PositionInput& input, const Board& board, SolveRecord& record,
                    bool withOrigin) {
    const std::string text = finalText(record, withOrigin);
    return finishMade(input, record, text, failsVerify(board, record));
}

bool Runner::finishMade(const PositionInput& input, const SolveRecord& record,
                        const std::string& text, bool verifyFailed) {
    if (!write(text)) return false;
    if (record.status == solveInvalid) anyInvalid_ = true;  // the core's own board check
    if (record.reviewed && record.review.illegalIndex >= 0) {
        std::fprintf(stderr, "fifteen-solve: %s: %s\n", input.origin.c_str(),
                     record.reviewError.c_str());
        anyInvalid_ = true;
    }
    if (verifyFailed) {
        std::fprintf(stderr,
                     "fifteen-solve: %s: VERIFY FAILED: the %d-move solution does not reach "
                     "the goal\n",
                     input.origin.c_str(), record.length);
        internalFailure_ = true;
    }
    return record.status != solveCancelled;
}

bool Runner::answerMany(std::vector<PositionInput> inputs, std::vector<bool> withOrigin,
                        bool more) {
    const Goal goal = options_.goal.value_or(Goal::blankLast);
    const int workers = omp_get_max_threads();
    auto chunk = std::make_unique<Chunk>();
    chunk->inputs = std::move(inputs);
    chunk->withOrigin = std::move(withOrigin);
    if (options_.threads <= 0 && analyser_ == nullptr && !options_.review && workers > 1) {
        // The tables before the first search, and only for a chunk with a
        // position in it; a failure stops the run at the first position, as one
        // at a time would (answered below).
        const bool anyPosition =
            std::any_of(chunk->inputs.begin(), chunk->inputs.end(),
                        [](const PositionInput& input) { return parsePosition(input.text).ok; });
        if (anyPosition && prepareTables()) {
            chunk->jobs.resize(chunk->inputs.size());
            for (std::size_t i = 0; i < chunk->inputs.size(); ++i) {
                chunk->jobs[i].input = &chunk->inputs[i];
            }
        }
    }
    if (chunk->jobs.empty()) return flush() && writeChunk(*chunk);

    // The last chunk's answers first (most of them written while this chunk
    // was read).
    if (!flush()) return false;
    // Each position is read, sorted out, solved, told and checked on a worker:
    // this thread only writes the answers, in order, as they come, and answers
    // itself those the workers left (invalid ones, and large ones, with every
    // thread).
    Chunk& c = *chunk;
    c.texts.resize(c.jobs.size());
    c.verifyFailed.assign(c.jobs.size(), 0);
    if (!batch_)
        batch_ = std::make_unique<BatchSolver>(solver_, tables_, options_.parallel, workers);
    const auto take = [this, goal](BatchJob& job) {
        const ParsedPosition parsed = parsePosition(job.input->text);
        if (!parsed.ok || !searchedOnOneThread(tables_, parsed.board, goal)) return false;
        job.board = parsed.board;
        return true;
    };
    const auto made = [this, &c](std::size_t j, SolveRecord& record) {
        c.texts[j] = finalText(record, c.withOrigin[j]);
        c.verifyFailed[j] = failsVerify(c.jobs[j].board, record) ? 1 : 0;
    };
    pending_ = std::move(chunk);
    batch_->start(pending_->jobs, pending_->records, goal, interruptRequested, take, made);
    // With no further input there yet, the answers are written now.
    return more || flush();
}

bool Runner::writeChunk(Chunk& chunk) {
    const bool batched = !chunk.jobs.empty();
    for (std::size_t i = 0; i < chunk.inputs.size(); ++i) {
        const PositionInput& input = chunk.inputs[i];
        // Caught up with the workers: woken once a few answers on are done,
        // not at each (a wake-up costs more than an answer).
        if (batched && !batch_->finished(i)) {
            batch_->waitFor(std::min(i + 32, chunk.inputs.size() - 1));
            batch_->waitFor(i);
        }
        if (!batched || !chunk.jobs[i].taken) {
            // The program's solver is a worker's: free once the batch is done.
            if (batched) batch_->wait();
            if (!answer(input, chunk.withOrigin[i])) return false;
            continue;
        }
        if (interruptRequested()) return false;
        const SolveRecord& record = chunk.records[i];
        if (record.origin.empty()) return false;  // not started: stopped
        if (!finishMade(input, record, chunk.texts[i], chunk.verifyFailed[i] != 0)) return false;
    }
    return true;
}

bool Runner::flush() {
    if (!pending_) return true;
    const bool written = writeChunk(*pending_);
    dropPending();
    return written;
}

void Runner::dropPending() {
    if (batch_) batch_->wait();
    pending_.reset();
}

int Runner::exitCode() const {
    const bool written = !writeFailed_ && finishOutput(stdout);
    if (interruptRequested()) return exitInterrupted;
    if (!written) return exitInternalFailure;
    if (internalFailure_) return exitInternalFailure;
    if (anyInvalid_) return exitBadInput;
    return exitAnswered;
}

int run(int argc, char** argv) {
    prepareConsole();
    CliOptions options;
    if (const auto code = parseOptions(argc, argv, options, std::cout, std::cerr)) return *code;
    // Over the program's record: Ctrl-C cancels its solves whatever the table set.
    Solver defaultSolver(SolveOptions{1, options.parallel});
    std::optional<InterruptWatcher> interrupts;
    try {
        interrupts.emplace(defaultSolver);
    } catch (const std::exception& e) {
        // Out of threads or descriptors: nothing could have been solved either.
        std::fprintf(stderr, "fifteen-solve: internal failure: %s\n", e.what());
        return exitInternalFailure;
    }
    const bool progress = standardErrorIsTerminal();
    if (options.buildTables) return buildStrongerTables(options.threads, progress);

    // The stronger tables before any input is read, so that a build is not
    // started in the middle of a batch (Ctrl-C stops it; nothing is left behind).
    StrongerTables stronger;
    const TableSet* tables = &defaultTableSet();
    if (options.tables == TableChoice::stronger) {
        std::string path;
        const TableCacheResult result =
            prepareStrongerTables(stronger, options.threads, progress, path);
        if (result == TableCacheResult::stopped || interruptRequested()) return exitInterrupted;
        if (stronger.tableSet() == nullptr) {
            std::fprintf(stderr, "fifteen-solve: internal failure: no 7-8 tables\n");
            return exitInternalFailure;
        }
        tables = stronger.tableSet();
    }
    Solver solver(solverState, *tables, SolveOptions{1, options.parallel});
    // Analyses and reviews solve in the analyser's own record: Ctrl-C goes there.
    std::unique_ptr<MoveAnalyser> analyser;
    if (options.analyse || options.review) {
        analyser = std::make_unique<MoveAnalyser>(*tables, SolveOptions{1, options.parallel});
        interrupts->retarget(analyser->solver());
    }
    Runner runner(options, progress, solver, analyser.get(), *tables);
    if (options.bench) {
        if (!runner.prepareTables()) return exitInternalFailure;
        if (interruptRequested()) return exitInterrupted;
        const int code = runBench(solver, benchInstances(),
                                  options.threads > 0 ? options.threads : 1, std::cout);
        if (!finishOutput(stdout)) return exitInternalFailure;
        return interruptRequested() ? exitInterrupted : code;
    }

    const bool inputIsTerminal = standardInputIsTerminal();
    if (options.positions.empty() && options.file.empty() && inputIsTerminal) {
        std::fprintf(stderr,
                     "fifteen-solve: type a position a line (16 numbers, the blank as 0, e.g. "
                     "\"1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15\"); %s ends\n",
                     endOfInputKeys);
    }
    PositionSequence sequence(options.positions, options.file, std::cin, standardInputReady,
                              options.lineOffset);
    PositionInput input;
    bool first = true;
    // Positions that have come are answered together (a bounded chunk, so that a
    // batch of any length needs the same memory); one that has come alone is
    // answered before the next is waited for.
    constexpr std::size_t chunkSize = 2048;
    std::vector<PositionInput> chunk;
    std::vector<bool> withOrigins;
    bool goOn = true;
    while (goOn && sequence.next(input)) {
        chunk.clear();
        withOrigins.clear();
        bool more = false;
        for (;;) {
            more = sequence.moreFollow();
            // Origin lines as soon as there is more than one answer to tell apart.
            withOrigins.push_back(!first || more);
            first = false;
            chunk.push_back(std::move(input));
            if (!more || chunk.size() == chunkSize || !sequence.next(input)) break;
        }
        // A full chunk with more input there: its answers may wait while the
        // next one is read.
        const bool full = more && chunk.size() == chunkSize;
        goOn = chunk.size() == 1
                   ? runner.flush() && runner.answer(chunk[0], withOrigins[0])
                   : runner.answerMany(std::move(chunk), std::move(withOrigins), full);
    }
    if (goOn) runner.flush();
    if (sequence.fileFailed()) {
        std::fprintf(stderr, "fifteen-solve: cannot read %s\n", options.file.c_str());
        return exitBadInput;
    }
    return runner.exitCode();
}

}  // namespace
}  // namespace fifteen::cli

int main(int argc, char** argv) {
    return fifteen::cli::run(argc, argv);
}
