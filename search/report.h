#pragma once

// The texts a solve shows: the output box (problem and report) and the short
// status and seconds lines. Everything is formatted printf-style into fixed
// buffers; appends are bounded, so a text is cut rather than overflowing.

#include <array>
#include <cstddef>
#include <cstdint>

#include "puzzle/board.h"

namespace fifteen {

inline constexpr std::size_t reportCapacity = 500;  // with the terminating zero
// The longest status line is the search status with four 32-bit values of the
// longest decimal form ("-2147483648"), plus the terminating zero.
inline constexpr std::size_t longestInt32Text = 11;
inline constexpr std::size_t statusCapacity =
    sizeof(" WD=, PDB=, Threads=/") + 4 * longestInt32Text;
// "Searching: bound B, N nodes, R nodes/s" with a 32-bit bound and both counts
// shortened to at most four digits, a point and a unit letter.
inline constexpr std::size_t progressCapacity =
    sizeof("Searching: bound ,  nodes,  nodes/s") + longestInt32Text + 2 * sizeof("999.9 E");

template <std::size_t Capacity>
class TextBuffer {
  public:
    void clear() {
        text_[0] = '\0';
        length_ = 0;
    }
    // Appends as much of piece as fits, keeping the terminating zero.
    void append(const char* piece);
    void appendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const char* c_str() const { return text_.data(); }
    std::size_t size() const { return length_; }

  private:
    std::array<char, Capacity> text_{};
    std::size_t length_ = 0;
};

using ReportText = TextBuffer<reportCapacity>;
using StatusText = TextBuffer<statusCapacity>;
using ProgressText = TextBuffer<progressCapacity>;

// Whole seconds and hundredths of an elapsed time, both truncated.
struct ElapsedTime {
    int32_t seconds;
    int32_t hundredths;
};
ElapsedTime splitElapsed(int64_t elapsedMs);

// The problem as four rows of " %2d" cells, each row ended by "\r\n".
void appendProblem(ReportText& report, const Board& board);

// Where a piece of a report is written: [begin, end) byte offsets into its text.
struct TextSpan {
    int32_t begin = 0;
    int32_t end = 0;
    bool operator==(const TextSpan&) const = default;
};

// The result lines of a solved problem: length, used time, and the moves ten to
// a line; no line break after the last move. With moves, the span of each move's
// number (its digits, without the padding) goes to moves[i], as far as the report
// had room for it; the rest stay empty.
void appendSolution(ReportText& report, int32_t length, const int32_t* solution,
                    ElapsedTime elapsed, TextSpan* moves = nullptr);

inline constexpr const char* unsolvableReport = "UnSolvable.";
inline constexpr const char* cancelReport = "Cancel.";
inline constexpr const char* invalidReport =
    "Invalid board: every value 0..15 must occur exactly once.";
inline constexpr const char* unsolvableStatus = "UnSolvable";
inline constexpr const char* cancelStatus = "Cancel";
inline constexpr const char* invalidStatus = "Invalid";

void formatSearchStatus(StatusText& status, int32_t wd, int32_t pdb, int32_t itemCount,
                        int32_t maxThreads);
void formatSeconds(StatusText& seconds, int32_t wholeSeconds);

// A count as people read it: below 1000 in full, else three significant digits
// at most with a unit letter k, M, G, T, P or E ("1.2 G", "150 M", "12 k").
void appendCount(ProgressText& text, uint64_t count);

// The one-line progress of a running search ("Searching: bound 58, 1.2 G nodes,
// 150 M nodes/s"): the bound of the deepest iteration begun (total moves from
// the start), the nodes so far and their rate over searchMs milliseconds of
// search (0 nodes/s until a millisecond has passed).
void formatProgress(ProgressText& text, int32_t bound, uint64_t nodes, int64_t searchMs);

}  // namespace fifteen
