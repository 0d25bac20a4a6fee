#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/console.h"

namespace fifteen::cli {

const char* const endOfInputKeys = "Ctrl+Z then Enter";

namespace {

bool isConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

void prepareConsole() {
    // Text mode would write "\r\n": the output is to be the same bytes as on POSIX
    // systems, for the programs that read it. A console moves to the next line on
    // "\n" alone.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Text mode on a console ends the input at Ctrl+Z; elsewhere a byte 26 is a
    // byte, as on POSIX systems (the reader strips "\r" itself).
    if (!isConsole(STD_INPUT_HANDLE)) _setmode(_fileno(stdin), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

// std::cin reads through C's stdin: input is ready when its buffer holds some
// (the C runtime's count), or the pipe has some or has ended (a read returns at
// once then), or it is a file. At a console, a line is never taken as ready: the
// answer is given before the next line is read, as for a person at a terminal.
bool standardInputReady() {
    if (stdin->_cnt > 0) return true;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    switch (GetFileType(input)) {
        case FILE_TYPE_DISK:
            return true;
        case FILE_TYPE_PIPE: {
            // A pipe that cannot be peeked (Wine's over a POSIX pipe) is never
            // read ahead: a program feeding it line by line may be waiting for
            // the answer.
            DWORD available = 0;
            if (!PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr))
                return GetLastError() == ERROR_BROKEN_PIPE;
            return available > 0;
        }
        default:
            return false;
    }
}

bool standardInputIsTerminal() {
    return isConsole(STD_INPUT_HANDLE);
}

bool standardErrorIsTerminal() {
    return isConsole(STD_ERROR_HANDLE);
}

}  // namespace fifteen::cli
