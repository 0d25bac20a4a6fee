// A batch under the default options solves its positions side by side: each
// answer must still come in the order of its line and be the answer the same
// options give that position alone, whatever surrounds it.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

using testing_support::ChildProcess;
using testing_support::jsonLines;
using testing_support::ProcessResult;
using testing_support::runProcess;

const std::string solver = FIFTEEN_SOLVE_PATH;

// What a position's answer is; times and node counts are not compared.
struct Answer {
    std::string input;
    std::string status;
    nlohmann::json length;
    nlohmann::json moves;
    nlohmann::json directions;
    nlohmann::json maxThreads;
    bool operator==(const Answer&) const = default;
};

void PrintTo(const Answer& answer, std::ostream* os) {
    *os << answer.input << " " << answer.status << " " << answer.moves.dump() << " max "
        << answer.maxThreads.dump();
}

Answer answerOf(const nlohmann::json& json) {
    const auto field = [&](const char* key) {
        return json.contains(key) ? json.at(key) : nlohmann::json();
    };
    return {json.at("input"), json.at("status"),   field("length"),
            field("moves"),   field("directions"), field("maxThreads")};
}

std::vector<Answer> answersOf(const std::string& out) {
    std::vector<Answer> answers;
    for (const nlohmann::json& json : jsonLines(out)) answers.push_back(answerOf(json));
    return answers;
}

class BatchOrderTest : public ::testing::TestWithParam<std::vector<std::string>> {
  protected:
    void SetUp() override {
        folder_ = ::testing::TempDir() + "fifteen_batch_order_XXXXXX";
        ASSERT_NE(mkdtemp(folder_.data()), nullptr);
        setenv("XDG_CACHE_HOME", (folder_ + "/cache").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
        // Short walks (one thread each), a few positions searched in parallel,
        // an invalid line and an unsolvable position among them.
        std::mt19937 random(30);
        for (int i = 0; i < 240; ++i) {
            const int moves = 10 + i % 21;
            lines_.push_back(
                test_support::positionText(test_support::randomWalkFromGoal(random, moves)));
        }
        // Positions 44 to 46 moves from the goal whose start bounds are above the
        // one-thread bound (each some tenths of a second at most).
        lines_[5] = "5 7 3 10 14 9 8 4 15 2 0 1 6 11 13 12";
        lines_[60] = "2 15 8 11 14 9 3 4 7 5 12 10 1 0 13 6";
        lines_[61] = "0 9 8 6 2 5 4 7 13 14 12 15 10 3 1 11";
        lines_[17] = "1 2 3";
        lines_[101] = "1 2 3 4 5 6 7 8 9 10 11 12 13 15 14 0";
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::string writeFile(const std::string& name, const std::vector<std::string>& lines) const {
        const std::string path = folder_ + "/" + name;
        std::ofstream file(path);
        file << "# positions\n";
        for (const std::string& line : lines) file << line << "\n";
        return path;
    }

    std::vector<std::string> command(std::vector<std::string> args) const {
        args.insert(args.begin(), solver);
        args.insert(args.end(), GetParam().begin(), GetParam().end());
        return args;
    }

    std::string folder_;
    std::vector<std::string> lines_;
};

TEST_P(BatchOrderTest, EachAnswerIsTheOneThePositionGetsAloneInTheOrderOfItsLine) {
    const ProcessResult batch =
        runProcess(command({"--format", "json", "-f", writeFile("batch.txt", lines_)}));
    EXPECT_EQ(batch.exitCode, 2) << batch.err;  // the invalid line
    const std::vector<nlohmann::json> records = jsonLines(batch.out);
    ASSERT_EQ(records.size(), lines_.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].at("input"), lines_[i]);
        EXPECT_EQ(records[i].at("origin"), folder_ + "/batch.txt:" + std::to_string(i + 2))
            << "answers out of order";
    }

    // Alone: one line at a time, each answered before the next is written.
    ChildProcess alone(command({"--format", "json"}));
    std::vector<Answer> aloneAnswers;
    for (const std::string& line : lines_) {
        alone.writeInput(line + "\n");
        std::string out;
        ASSERT_TRUE(alone.readLine(out, 120000)) << "no answer to " << line;
        aloneAnswers.push_back(answerOf(nlohmann::json::parse(out)));
    }
    alone.finish();
    const std::vector<Answer> batchAnswers = answersOf(batch.out);
    EXPECT_EQ(batchAnswers, aloneAnswers);

    // Both ways were taken (a one-core machine searches all on one thread).
    const auto parallel =
        std::count_if(batchAnswers.begin(), batchAnswers.end(),
                      [](const Answer& a) { return a.maxThreads.is_number() && a.maxThreads > 1; });
    EXPECT_GT(std::count_if(batchAnswers.begin(), batchAnswers.end(),
                            [](const Answer& a) { return a.maxThreads == 1; }),
              0);
    if (std::thread::hardware_concurrency() > 1 && getenv("OMP_NUM_THREADS") == nullptr) {
        EXPECT_GT(parallel, 0);
    }
}

TEST_P(BatchOrderTest, AnswersDoNotDependOnTheBatchAround) {
    std::vector<std::string> reversed(lines_.rbegin(), lines_.rend());
    const ProcessResult forward =
        runProcess(command({"--format", "json", "-f", writeFile("forward.txt", lines_)}));
    const ProcessResult backward =
        runProcess(command({"--format", "json", "-f", writeFile("backward.txt", reversed)}));
    std::vector<Answer> backwardAnswers = answersOf(backward.out);
    std::reverse(backwardAnswers.begin(), backwardAnswers.end());
    ASSERT_EQ(backwardAnswers.size(), lines_.size());
    EXPECT_EQ(answersOf(forward.out), backwardAnswers);
}

// One thread answers as before; the default's one-thread answers are the same
// moves, and every length is the same.
TEST_P(BatchOrderTest, OneThreadAnswersAgreeWithTheDefault) {
    const std::string path = writeFile("batch.txt", lines_);
    const std::vector<Answer> byDefault =
        answersOf(runProcess(command({"--format", "json", "-f", path})).out);
    const std::vector<Answer> oneThread =
        answersOf(runProcess(command({"--format", "json", "--threads", "1", "-f", path})).out);
    ASSERT_EQ(byDefault.size(), oneThread.size());
    for (std::size_t i = 0; i < byDefault.size(); ++i) {
        EXPECT_EQ(byDefault[i].length, oneThread[i].length) << lines_[i];
        if (oneThread[i].status == "invalid") continue;
        EXPECT_EQ(oneThread[i].maxThreads, 1) << lines_[i];
        if (byDefault[i].maxThreads == 1) {
            EXPECT_EQ(byDefault[i], oneThread[i]);
        }
    }
}

// A batch of thousands of lines, more than the program reads at once: the
// answers of each part are written while the next part is read and solved, and
// still come in the order of the lines, the same as one thread gives them, with
// invalid lines and positions searched with every thread in the later parts.
TEST_P(BatchOrderTest, ALongBatchAnswersInOrderAsOneThreadDoes) {
    std::vector<std::string> lines;
    for (int copy = 0; copy < 25; ++copy) lines.insert(lines.end(), lines_.begin(), lines_.end());
    ASSERT_EQ(lines.size(), 6000u);
    lines[2500] = "1 2 3 4 5 x";
    lines[4321] = lines_[60];
    const std::string path = writeFile("long.txt", lines);
    const ProcessResult byDefault = runProcess(command({"--format", "json", "-f", path}));
    const ProcessResult oneThread =
        runProcess(command({"--format", "json", "--threads", "1", "-f", path}));
    EXPECT_EQ(byDefault.exitCode, 2) << byDefault.err;
    EXPECT_EQ(byDefault.err, oneThread.err);
    const std::vector<nlohmann::json> records = jsonLines(byDefault.out);
    const std::vector<Answer> oneThreadAnswers = answersOf(oneThread.out);
    ASSERT_EQ(records.size(), lines.size());
    ASSERT_EQ(oneThreadAnswers.size(), lines.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(records[i].at("origin"), path + ":" + std::to_string(i + 2))
            << "answers out of order";
        const Answer answer = answerOf(records[i]);
        EXPECT_EQ(answer.length, oneThreadAnswers[i].length) << lines[i];
        if (answer.maxThreads == 1) EXPECT_EQ(answer, oneThreadAnswers[i]) << i;
    }
}

// Ctrl-C in a batch: the searches under way end as cancelled, no further
// position is started, and the answers written are a prefix of the batch.
TEST(BatchInterruptTest, CtrlCStopsTheBatchWithThePositionsSoFarAnswered) {
    std::string folder = ::testing::TempDir() + "fifteen_batch_interrupt_XXXXXX";
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    // A 42-move position whose start bound is 24: one thread, tenths of a second.
    const std::string slow = "0 9 12 4 5 3 2 8 10 1 7 6 11 14 13 15";
    const std::string path = folder + "/slow.txt";
    {
        std::ofstream file(path);
        for (int i = 0; i < 400; ++i) file << slow << "\n";
    }
    ChildProcess child({solver, "--format", "json", "-f", path});
    std::string line;
    ASSERT_TRUE(child.readLine(line, 300000)) << "no first answer";
    EXPECT_EQ(nlohmann::json::parse(line).at("status"), "solved");
    child.sendSignal(SIGINT);
    const ProcessResult result = child.finish();
    EXPECT_EQ(result.exitCode, 130) << result.err;
    std::vector<nlohmann::json> answers = jsonLines(result.out);
    answers.insert(answers.begin(), nlohmann::json::parse(line));
    EXPECT_LT(answers.size(), 400u);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        EXPECT_EQ(answers[i].at("origin"), path + ":" + std::to_string(i + 1));
        const std::string status = answers[i].at("status");
        if (status == "solved") {
            EXPECT_EQ(answers[i].at("length"), 42);
        } else {
            EXPECT_EQ(status, "cancelled");
            EXPECT_EQ(i + 1, answers.size()) << "an answer after a cancelled one";
        }
    }
    std::system(("rm -rf '" + folder + "'").c_str());
}

INSTANTIATE_TEST_SUITE_P(Goals, BatchOrderTest,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"--goal", "blank-first"}));

}  // namespace
}  // namespace fifteen::cli
