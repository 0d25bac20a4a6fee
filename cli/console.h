#pragma once

// What fifteen-solve needs of its terminal that differs between the systems: one
// implementation per system (console_posix.cpp, console_windows.cpp), chosen by
// the build.

namespace fifteen::cli {

// Called first: on Windows, standard output and error in binary mode (bytes as on
// POSIX systems, "\n" line ends) and a console shown UTF-8.
void prepareConsole();

// Whether standard input has input that can be read at once: in C's buffer of
// stdin (std::cin reads through it) or waiting on the descriptor.
bool standardInputReady();

bool standardInputIsTerminal();
bool standardErrorIsTerminal();

// How a person at the terminal ends the input, for the prompt.
extern const char* const endOfInputKeys;

}  // namespace fifteen::cli
