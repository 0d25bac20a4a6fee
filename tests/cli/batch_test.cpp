// A batch split into chunks and solved by several processes, as the README's
// recipes do it: with --line-offset each chunk names the lines of the whole
// input, so the answers reassemble by origin into a single process's answers.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

using testing_support::ProcessResult;
using testing_support::runProcess;

const std::string solver = FIFTEEN_SOLVE_PATH;

// What must agree between the two runs; the times and node counts of a
// one-thread search agree too but are not what a batch is for.
struct Answer {
    std::string origin;
    std::string status;
    nlohmann::json length;
    nlohmann::json moves;
    nlohmann::json directions;
    bool operator==(const Answer&) const = default;
};

void PrintTo(const Answer& answer, std::ostream* os) {
    *os << answer.origin << " " << answer.status << " " << answer.moves.dump();
}

// The answers in the order of their lines (origins "stdin:N").
std::vector<Answer> answersByLine(const std::string& out) {
    std::vector<Answer> answers;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const nlohmann::json json = nlohmann::json::parse(line);
        const auto field = [&](const char* key) {
            return json.contains(key) ? json.at(key) : nlohmann::json();
        };
        answers.push_back({json.at("origin"), json.at("status"), field("length"), field("moves"),
                           field("directions")});
    }
    const auto lineOf = [](const Answer& a) { return std::stol(a.origin.substr(6)); };
    std::stable_sort(answers.begin(), answers.end(),
                     [&](const Answer& a, const Answer& b) { return lineOf(a) < lineOf(b); });
    return answers;
}

// A scratch folder for the run's files, and for the cache and settings folders
// of everything it starts (GNU parallel keeps its own under PARALLEL_HOME).
std::string scratchFolder() {
    std::string folder = ::testing::TempDir() + "fifteen_batch_XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) return "";
    setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("PARALLEL_HOME", (folder + "/parallel").c_str(), 1);
    return folder;
}

TEST(BatchTest, LineOffsetCountsOnFromTheLinesBeforeTheChunk) {
    const std::string input = "# a comment line\n\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15\nx\n";
    const ProcessResult result =
        runProcess({solver, "--format", "json", "--line-offset", "1000"}, input);
    EXPECT_EQ(result.exitCode, 2);
    const std::vector<Answer> answers = answersByLine(result.out);
    ASSERT_EQ(answers.size(), 2U);
    EXPECT_EQ(answers[0].origin, "stdin:1003");
    EXPECT_EQ(answers[1].origin, "stdin:1004");
    EXPECT_NE(result.err.find("stdin:1004: "), std::string::npos) << result.err;
}

TEST(BatchTest, ChunksSolvedThroughGnuParallelReassembleIntoOneProcesssAnswers) {
    if (runProcess({"/bin/sh", "-c", "command -v parallel"}).exitCode != 0) {
        GTEST_SKIP() << "GNU parallel is not installed (tools/deps.sh installs it)";
    }
    const std::string folder = scratchFolder();
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "/positions.txt";
    {
        // Short walks solve in a millisecond; comments and an invalid line test
        // that skipped and rejected lines are counted alike by both runs.
        std::ofstream file(path);
        std::mt19937 random(2000);
        file << "# 2000 positions\n";
        for (int i = 0; i < 2000; ++i) {
            if (i == 777) file << "1 2 3\n";
            if (i % 300 == 0) file << "# part " << i / 300 << "\n";
            file << test_support::positionText(test_support::randomWalkFromGoal(random, 8 + i % 25))
                 << "\n";
        }
    }
    const std::string solve = solver + " --format json --threads 1";
    const ProcessResult single = runProcess({"/bin/sh", "-c", solve + " < " + path});
    const ProcessResult chunks =
        runProcess({"/bin/sh", "-c",
                    "parallel --will-cite -j2 --pipe -N 500 '" + solve +
                        " --line-offset $(( ({#} - 1) * 500 ))' < " + path});
    EXPECT_EQ(single.exitCode, 2) << single.err;  // the invalid line
    EXPECT_EQ(chunks.exitCode, 1) << chunks.err;  // parallel: the count of failed jobs
    const std::vector<Answer> expected = answersByLine(single.out);
    ASSERT_EQ(expected.size(), 2001U);
    EXPECT_EQ(answersByLine(chunks.out), expected);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace fifteen::cli
