#pragma once

// Positions as they come in: one per command-line argument, or one per line of a
// file or of standard input, each with the place it came from for messages.

#include <istream>
#include <string>

namespace fifteen::cli {

struct PositionInput {
    std::string origin;  // "argument 2", "stdin:5", "games.txt:12"
    std::string text;
};

// Hands out the position lines of a stream in order, skipping blank lines and
// lines whose first non-blank character is '#'. Reads lazily, so standard input
// is answered line by line.
class LineSource {
  public:
    LineSource(std::istream& in, std::string name) : in_(in), name_(std::move(name)) {}
    bool next(PositionInput& out);

  private:
    std::istream& in_;
    std::string name_;
    int lineNumber_ = 0;
};

bool isSkippedLine(const std::string& line);

}  // namespace fifteen::cli
