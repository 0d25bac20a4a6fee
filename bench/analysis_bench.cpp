// Move analysis and review against plain solves, two threads by default.
//
// Analysis: random positions (shuffles from a fixed seed) of 45-55 moves, each
// solved and analysed; the median times of the runs, and their ratio in total.
// Review: a position of exactly 50 moves and a 60-move sequence from it, made
// of optimal moves chosen at random among the optimal ones with 5 mistakes of
// 2 moves each at random steps (analyses made before the timing); the median
// review time against the median time to solve the start alone.
//
//   fifteen_analysis_bench [--runs N] [--threads T] [--positions P] [--seed S]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "puzzle/shuffle.h"
#include "search/move_analysis.h"
#include "search/preparation.h"
#include "search/solver.h"
#include "search/table_set.h"

namespace {

using fifteen::Board;
using fifteen::QuietOutput;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class F>
double seconds(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Options {
    int runs = 3;
    int threads = 2;
    int positions = 20;
    uint32_t seed = 18;
};

// Solves shuffles until count positions of lengths low..high are found.
std::vector<Board> positionsOfLength(fifteen::Solver& solver, int count, int low, int high) {
    std::vector<Board> found;
    QuietOutput quiet;
    while (static_cast<int>(found.size()) < count) {
        Board board = fifteen::goalBoard;
        fifteen::shuffleBoard(board);
        const fifteen::SolveResult r = solver.solve(board, quiet);
        if (r.length >= low && r.length <= high) found.push_back(board);
    }
    return found;
}

bool benchAnalysis(const Options& options, fifteen::Solver& solver,
                   fifteen::MoveAnalyser& analyser) {
    const std::vector<Board> boards = positionsOfLength(solver, options.positions, 45, 55);
    std::printf("analysis: %d positions of 45-55 moves, %d threads, median of %d runs\n",
                options.positions, options.threads, options.runs);
    std::printf("%4s %6s %7s %10s %12s %6s %12s %12s %6s\n", "pos", "length", "optimal", "solve ms",
                "analyse ms", "ratio", "solve nodes", "analyse nodes", "ratio");
    double solveTotal = 0;
    double analyseTotal = 0;
    uint64_t solveNodes = 0;
    uint64_t analyseNodes = 0;
    bool ok = true;
    for (std::size_t i = 0; i < boards.size(); ++i) {
        std::vector<double> solveTimes;
        std::vector<double> analyseTimes;
        int32_t length = 0;
        int optimal = 0;
        uint64_t nodes[2] = {0, 0};
        for (int run = 0; run < options.runs; ++run) {
            QuietOutput quiet;
            solveTimes.push_back(seconds([&] {
                const fifteen::SolveResult r = solver.solve(boards[i], quiet);
                length = r.length;
                nodes[0] = r.nodes;
            }));
            fifteen::MoveAnalysis a;
            analyseTimes.push_back(seconds([&] { a = analyser.analyseMoves(boards[i]); }));
            optimal = 0;
            nodes[1] = a.nodes;

            for (std::size_t k = 0; k < static_cast<std::size_t>(a.moveCount); ++k) {
                optimal += a.moves[k].optimal ? 1 : 0;
            }
            if (a.length != length || optimal == 0) ok = false;
        }
        const double s = median(solveTimes);
        const double a = median(analyseTimes);
        solveTotal += s;
        analyseTotal += a;
        solveNodes += nodes[0];
        analyseNodes += nodes[1];
        std::printf("%4zu %6d %7d %10.1f %12.1f %6.2f %12llu %12llu %6.2f\n", i + 1, length,
                    optimal, s * 1e3, a * 1e3, a / s, static_cast<unsigned long long>(nodes[0]),
                    static_cast<unsigned long long>(nodes[1]),
                    static_cast<double>(nodes[1]) / static_cast<double>(nodes[0]));
    }
    std::printf("%4s %6s %7s %10.1f %12.1f %6.2f %12llu %12llu %6.2f\n", "all", "", "",
                solveTotal * 1e3, analyseTotal * 1e3, analyseTotal / solveTotal,
                static_cast<unsigned long long>(solveNodes),
                static_cast<unsigned long long>(analyseNodes),
                static_cast<double>(analyseNodes) / static_cast<double>(solveNodes));
    return ok;
}

// From board, moves to the goal: optimal ones at random, and a mistake at each
// step in mistakes.
std::vector<fifteen::WrittenMove> sequenceWithMistakes(fifteen::MoveAnalyser& analyser, Board board,
                                                       const std::vector<int>& mistakes,
                                                       std::mt19937& random) {
    std::vector<fifteen::WrittenMove> moves;
    for (int step = 0;; ++step) {
        const fifteen::MoveAnalysis a = analyser.analyseMoves(board);
        if (a.length == 0) break;
        const bool mistake = std::find(mistakes.begin(), mistakes.end(), step) != mistakes.end();
        std::vector<fifteen::MoveVerdict> choices;
        for (std::size_t k = 0; k < static_cast<std::size_t>(a.moveCount); ++k) {
            if (a.moves[k].optimal != mistake) choices.push_back(a.moves[k]);
        }
        const fifteen::MoveVerdict chosen = choices[random() % choices.size()];
        moves.push_back({chosen.tile, 0});
        int32_t blank = 0;
        while (board[static_cast<std::size_t>(blank)] != 0) ++blank;
        const int32_t from = fifteen::moveCell(board, blank, moves.back());
        fifteen::applyMove(board, blank, from);
    }
    return moves;
}

bool benchReview(const Options& options, fifteen::Solver& solver, fifteen::MoveAnalyser& analyser) {
    const Board start = positionsOfLength(solver, 1, 50, 50).front();
    std::mt19937 random(options.seed);
    std::vector<int> mistakes;
    while (mistakes.size() < 5) {
        const int step = static_cast<int>(random() % 50);
        if (std::find(mistakes.begin(), mistakes.end(), step) == mistakes.end()) {
            mistakes.push_back(step);
        }
    }
    const auto moves = sequenceWithMistakes(analyser, start, mistakes, random);
    std::vector<double> solveTimes;
    std::vector<double> reviewTimes;
    bool ok = true;
    for (int run = 0; run < options.runs; ++run) {
        QuietOutput quiet;
        solveTimes.push_back(seconds([&] { solver.solve(start, quiet); }));
        fifteen::MoveReview r;
        reviewTimes.push_back(seconds([&] { r = analyser.reviewMoves(start, moves); }));
        if (r.distances.size() != moves.size() || r.distances.back() != 0 ||
            fifteen::lostMoves(r).size() != mistakes.size()) {
            ok = false;
        }
    }
    const double s = median(solveTimes);
    const double r = median(reviewTimes);
    std::printf("review: %zu moves from a 50-move position, %d threads, median of %d runs\n",
                moves.size(), options.threads, options.runs);
    std::printf("solve of the start %.1f ms, review %.1f ms, ratio %.2f\n", s * 1e3, r * 1e3,
                r / s);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--runs") == 0) options.runs = value;
        if (std::strcmp(argv[i], "--threads") == 0) options.threads = value;
        if (std::strcmp(argv[i], "--positions") == 0) options.positions = value;
        if (std::strcmp(argv[i], "--seed") == 0) options.seed = static_cast<uint32_t>(value);
    }
    fifteen::Preparation preparation;
    if (!preparation.start([](fifteen::PreparedTable) {})) return 1;
    preparation.join();
    if (!preparation.allSucceeded()) return 1;
    fifteen::seedRandom(options.seed);
    const fifteen::SolveOptions solveOptions{options.threads, fifteen::ParallelDesign::shared};
    fifteen::Solver solver(solveOptions);
    fifteen::MoveAnalyser analyser(fifteen::defaultTableSet(), solveOptions);
    const bool analysisOk = benchAnalysis(options, solver, analyser);
    const bool reviewOk = benchReview(options, solver, analyser);
    if (!analysisOk || !reviewOk) std::fprintf(stderr, "a result disagrees with the solve\n");
    return analysisOk && reviewOk ? 0 : 1;
}
