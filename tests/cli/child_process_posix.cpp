// The child process of child_process.h on POSIX systems: fork, pipes, poll.
#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace fifteen::cli::testing_support {
namespace {

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, unsigned long addressSpaceLimit,
                           bool terminal)
    : terminal_(terminal) {
    int inPipe[2];
    int outPipe[2];
    int errPipe[2];
    if (pipe(inPipe) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        throw std::runtime_error("pipe failed");
    }
    int master = -1;
    std::string slaveName;
    if (terminal) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        slaveName = ptsname(master);
    }
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            close(fd);
        if (terminal) {
            close(master);
            setsid();
            const int slave = open(slaveName.c_str(), O_RDWR);
            dup2(slave, 0);
            dup2(slave, 2);
            if (slave > 2) close(slave);
        }
        if (addressSpaceLimit > 0) {
            const rlimit limit{addressSpaceLimit, addressSpaceLimit};
            setrlimit(RLIMIT_AS, &limit);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    in_ = inPipe[1];
    out_ = outPipe[0];
    err_ = errPipe[0];
    if (terminal) {
        closeFd(in_);
        closeFd(err_);
        in_ = dup(master);
        err_ = master;
    }
    // A child that ends before reading its input must not kill the test by SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
}

ChildProcess::~ChildProcess() {
    if (!finished_) {
        kill(pid_, SIGKILL);
        finish();
    }
}

void ChildProcess::writeInput(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(in_, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

void ChildProcess::closeInput() {
    if (terminal_ && in_ >= 0) writeInput("\x04");
    closeFd(in_);
}

// Reads what is available on either output, waiting at most timeoutMs; false when
// both have ended or the time ran out with nothing read.
bool ChildProcess::pump(int timeoutMs) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    int count = 0;
    pollfd active[2];
    for (const pollfd& p : fds) {
        if (p.fd >= 0) active[count++] = p;
    }
    if (count == 0) return false;
    if (poll(active, static_cast<nfds_t>(count), timeoutMs) <= 0) return false;
    for (int i = 0; i < count; ++i) {
        if ((active[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
        char buffer[4096];
        const ssize_t n = read(active[i].fd, buffer, sizeof buffer);
        const bool isOut = active[i].fd == out_;
        if (n <= 0) {
            closeFd(isOut ? out_ : err_);
        } else {
            (isOut ? outBuffer_ : errBuffer_).append(buffer, static_cast<std::size_t>(n));
        }
    }
    return true;
}

void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

void ChildProcess::sendSignal(int signal) {
    kill(pid_, signal);
}

ProcessResult ChildProcess::finish() {
    closeInput();
    while (out_ >= 0 || err_ >= 0) pump(-1);
    int status = 0;
    waitpid(pid_, &status, 0);
    finished_ = true;
    ProcessResult result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = std::move(outBuffer_);
    result.err = std::move(errBuffer_);
    return result;
}

}  // namespace fifteen::cli::testing_support
