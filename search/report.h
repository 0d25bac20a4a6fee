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
inline constexpr std::size_t statusCapacity = 32;

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

// Whole seconds and hundredths of an elapsed time, both truncated.
struct ElapsedTime {
    int32_t seconds;
    int32_t hundredths;
};
ElapsedTime splitElapsed(int64_t elapsedMs);

// The problem as four rows of " %2d" cells, each row ended by "\r\n".
void appendProblem(ReportText& report, const Board& board);

// The result lines of a solved problem: length, used time, and the moves ten to
// a line; no line break after the last move.
void appendSolution(ReportText& report, int32_t length, const int32_t* solution,
                    ElapsedTime elapsed);

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

}  // namespace fifteen
