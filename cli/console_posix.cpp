#include <poll.h>
#include <unistd.h>

#include <cstdio>

#include "cli/console.h"

namespace fifteen::cli {

const char* const endOfInputKeys = "Ctrl-D";

void prepareConsole() {}

// std::cin reads through C's stdin (kept in step with it, so a read that Ctrl-C
// interrupts ends instead of being retried): input is ready when that buffer holds
// some (glibc's read pointers) or the descriptor has some.
bool standardInputReady() {
    if (stdin->_IO_read_ptr < stdin->_IO_read_end) return true;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    return poll(&input, 1, 0) > 0;
}

bool standardInputIsTerminal() {
    return isatty(STDIN_FILENO) == 1;
}

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace fifteen::cli
