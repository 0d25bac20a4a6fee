#pragma once

// Positions as they come in: one per command-line argument, or one per line of a
// file or of standard input, each with the place it came from for messages.

#include <cstdint>
#include <fstream>
#include <functional>
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
// is answered line by line. Lines are numbered from lineOffset + 1.
class LineSource {
  public:
    LineSource(std::istream& in, std::string name, int64_t lineOffset = 0)
        : in_(in), name_(std::move(name)), lineNumber_(lineOffset) {}
    bool next(PositionInput& out);

  private:
    std::istream& in_;
    std::string name_;
    int64_t lineNumber_;
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
    // standardInputReady: whether standard input has input that can be read at
    // once (the stream's own buffer cannot always tell). lineOffset: added to the
    // line numbers of both streams.
    PositionSequence(const std::vector<std::string>& arguments, std::string file,
                     std::istream& standardInput, std::function<bool()> standardInputReady,
                     int64_t lineOffset = 0);

    // False at the end, or when the file cannot be opened (fileFailed).
    bool next(PositionInput& out);
    // Whether another position follows the one last handed out. Reads a stream
    // ahead only when it has input ready, so a person at a terminal or a program
    // feeding a pipe line by line is never kept waiting for an answer: there the
    // answer is false until the next line has come.
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
    std::function<bool()> standardInputReady_;
    int64_t lineOffset_;
    std::ifstream fileStream_;
    std::istream* stream_ = nullptr;
    std::optional<LineSource> lines_;
    std::optional<PositionInput> ahead_;
    bool fileFailed_ = false;
};

}  // namespace fifteen::cli
