#pragma once

// Positions as they come in: one per command-line argument, or one per line of a
// file or of standard input, each with the place it came from for messages.

#include <fstream>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace fifteen::cli {

struct PositionInput {
    std::string origin;  // "argument 2", "stdin:5", "games.txt:12"
    std::string text;
    // An argument that is one number alone: most likely a piece of a position
    // typed without quotes.
    bool loneNumber = false;
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

// An optional sign and decimal digits, nothing else.
bool isLoneNumber(const std::string& text);

// All positions of a run in the order they are answered: each argument where it
// stands ("-": standard input at that place), then the file of --file, then
// standard input when neither a position nor a file was given. Sixteen
// arguments that are each one number are one position (typed without quotes).
class PositionSequence {
  public:
    PositionSequence(const std::vector<std::string>& arguments, std::string file,
                     std::istream& standardInput, bool inputIsTerminal);

    // False at the end, or when the file cannot be opened (fileFailed).
    bool next(PositionInput& out);
    // Whether another position follows the one last handed out. May read one line
    // ahead, but not from a terminal, where that would wait for the user: there the
    // answer is false until the next line has been typed.
    bool moreFollow();
    bool fileFailed() const { return fileFailed_; }

  private:
    // One source in order: an argument's text, or a stream (standard input or the
    // file, opened when reached).
    struct Source {
        std::optional<PositionInput> argument;
        bool isFile = false;
    };
    bool fetch(PositionInput& out, bool mayWait);

    std::vector<Source> sources_;
    std::size_t current_ = 0;
    std::string file_;
    std::istream& standardInput_;
    const bool inputIsTerminal_;
    std::ifstream fileStream_;
    std::optional<LineSource> lines_;
    bool linesFromTerminal_ = false;
    std::optional<PositionInput> ahead_;
    bool fileFailed_ = false;
};

}  // namespace fifteen::cli
