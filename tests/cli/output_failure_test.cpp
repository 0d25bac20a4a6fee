// Answers written into a full device or a closed pipe: the first failed write
// ends the run with exit 1 and one line naming the error, before the rest of
// the batch is solved.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

const std::string solver = FIFTEEN_SOLVE_PATH;

struct Outcome {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;
    std::string err;
};

// A temporary folder that goes with the test.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = ::testing::TempDir() + "fifteen-output-XXXXXX";
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Runs the program with outFd as its standard output, standard input from
// /dev/null and standard error into a file; with SIGPIPE ignored in the child
// when ignorePipe (so that a write into a closed pipe fails with EPIPE), at its
// default otherwise.
Outcome runWithOutput(const std::vector<std::string>& args, int outFd, bool ignorePipe,
                      const std::string& scratch) {
    const std::string errPath = scratch + "/stderr";
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGPIPE, ignorePipe ? SIG_IGN : SIG_DFL);
        const int in = open("/dev/null", O_RDONLY);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || err < 0 || dup2(in, 0) < 0 || dup2(outFd, 1) < 0 || dup2(err, 2) < 0)
            _exit(127);
        setenv("XDG_CACHE_HOME", (scratch + "/cache").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
        // Under ThreadSanitizer its runtime would otherwise add a line of its own
        // about OpenMP to standard error.
        setenv("TSAN_OPTIONS", "ignore_noninstrumented_modules=1", 0);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return outcome;
    if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    std::ifstream err(errPath);
    std::ostringstream text;
    text << err.rdbuf();
    outcome.err = text.str();
    return outcome;
}

// A batch whose last line is not a position: a run that went on past the failed
// write would name that line on standard error and exit 2.
std::string writeBatch(const std::string& scratch) {
    std::mt19937 random(11);
    const std::string path = scratch + "/batch.txt";
    std::ofstream file(path);
    for (int i = 0; i < 600; ++i)
        file << test_support::positionText(test_support::randomWalkFromGoal(random, 10 + i % 21))
             << "\n";
    file << "not a position\n";
    return path;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void expectOneLineNaming(const Outcome& outcome, const std::string& reason) {
    EXPECT_EQ(outcome.signal, 0);
    EXPECT_EQ(outcome.exitCode, 1);
    const std::vector<std::string> lines = linesOf(outcome.err);
    ASSERT_EQ(lines.size(), 1u) << outcome.err;
    EXPECT_EQ(lines[0], "fifteen-solve: cannot write to standard output: " + reason);
}

// Default threads and one thread, text and JSON.
class OutputFailureTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(OutputFailureTest, AFullDeviceEndsTheRunAtTheFirstAnswer) {
    ScratchDir scratch;
    std::vector<std::string> args{solver, "-f", writeBatch(scratch.path())};
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    const int full = open("/dev/full", O_WRONLY);
    if (full < 0) GTEST_SKIP() << "no /dev/full here";
    const Outcome outcome = runWithOutput(args, full, false, scratch.path());
    close(full);
    expectOneLineNaming(outcome, "No space left on device");
}

TEST_P(OutputFailureTest, AClosedPipeEndsTheRunWhenSigpipeIsIgnored) {
    ScratchDir scratch;
    std::vector<std::string> args{solver, "-f", writeBatch(scratch.path())};
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);  // nobody reads: every write fails
    const Outcome outcome = runWithOutput(args, ends[1], true, scratch.path());
    close(ends[1]);
    expectOneLineNaming(outcome, "Broken pipe");
}

INSTANTIATE_TEST_SUITE_P(Options, OutputFailureTest,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"--format", "json"},
                                           std::vector<std::string>{"--threads", "1"}));

// With SIGPIPE at its default the program ends by the signal, as other tools
// writing into a closed pipe do; nothing is reported as answered either.
TEST(OutputFailure, AClosedPipeWithSigpipeAtItsDefaultEndsByTheSignal) {
    ScratchDir scratch;
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const Outcome outcome =
        runWithOutput({solver, "-f", writeBatch(scratch.path())}, ends[1], false, scratch.path());
    close(ends[1]);
    EXPECT_EQ(outcome.signal, SIGPIPE);
    EXPECT_EQ(outcome.err, "");
}

}  // namespace
}  // namespace fifteen::cli
