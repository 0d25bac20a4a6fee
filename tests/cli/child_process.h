#pragma once

// A child process with pipes on its standard streams, for tests that run the
// built fifteen-solve.

#include <nlohmann/json.hpp>

#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include "puzzle/board.h"

// Windows has no SIGKILL: there sendSignal ends the child at once for it.
#ifndef SIGKILL
#define SIGKILL 9
#endif

namespace fifteen::cli::testing_support {

struct ProcessResult {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

class ChildProcess {
  public:
    // addressSpaceLimit: bytes of address space the child may map, 0 for no limit.
    // terminal: standard input and standard error are a pseudo-terminal (its echo
    // of the input shows in the collected standard error); standard output stays
    // a pipe.
    explicit ChildProcess(const std::vector<std::string>& argv, unsigned long addressSpaceLimit = 0,
                          bool terminal = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void writeInput(const std::string& text);
    // On a terminal: Ctrl-D, the end of input there.
    void closeInput();
    // The next line of standard output (without its '\n'); false on end of output
    // or after timeoutMs. Standard error is collected meanwhile.
    bool readLine(std::string& line, int timeoutMs);
    // Collects standard error until it holds text or timeoutMs have passed.
    bool waitForError(const std::string& text, int timeoutMs);
    const std::string& errorSoFar() const { return errBuffer_; }
    // True once standard output has reached its end (the child has closed it).
    bool outputEnded() const { return out_ < 0; }
    // SIGINT: Ctrl-C (on Windows the console's Ctrl+C, to the child alone);
    // SIGKILL: ends it at once.
    void sendSignal(int signal);
    // Closes the input, reads both outputs to their end and waits for the exit.
    ProcessResult finish();

  private:
    bool pump(int timeoutMs);

    int pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outBuffer_;
    std::string errBuffer_;
    bool finished_ = false;
    bool terminal_ = false;
};

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input = "",
                         bool terminal = false);

// A new empty folder under the test's temporary folder, named prefix + a suffix.
std::string makeTemporaryFolder(const std::string& prefix);
// Sets the variable for this process and the children it starts; nullopt removes it.
void setEnvironment(const std::string& name, const std::optional<std::string>& value);

// Each line of out parsed as one JSON object (the --format json output).
std::vector<nlohmann::json> jsonLines(const std::string& out);
// The first sixteen numbers of text, in reading order.
Board boardOf(const std::string& text);

}  // namespace fifteen::cli::testing_support
