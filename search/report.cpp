#include "search/report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace fifteen {

template <std::size_t Capacity>
void TextBuffer<Capacity>::append(const char* piece) {
    const std::size_t room = Capacity - 1 - length_;
    const std::size_t count = strnlen(piece, room);
    std::memcpy(text_.data() + length_, piece, count);
    length_ += count;
    text_[length_] = '\0';
}

template <std::size_t Capacity>
void TextBuffer<Capacity>::appendFormat(const char* format, ...) {
    // Every piece of this program's texts is short; a longer one is cut here and
    // again by append.
    std::array<char, 64> piece{};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(piece.data(), piece.size(), format, arguments);
    va_end(arguments);
    append(piece.data());
}

template class TextBuffer<reportCapacity>;
template class TextBuffer<statusCapacity>;

ElapsedTime splitElapsed(int64_t elapsedMs) {
    return {static_cast<int32_t>(elapsedMs / 1000), static_cast<int32_t>((elapsedMs / 10) % 100)};
}

void appendProblem(ReportText& report, const Board& board) {
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t column = 0; column < 4; ++column) {
            report.appendFormat(" %2d", board[4 * row + column]);
        }
        report.append("\r\n");
    }
}

void appendSolution(ReportText& report, int32_t length, const int32_t* solution,
                    ElapsedTime elapsed) {
    report.appendFormat("Optimal solution is %d moves.\r\n", length);
    report.appendFormat("Used time: %d.%02d sec\r\n", elapsed.seconds, elapsed.hundredths);
    report.append("Solution:\r\n");
    for (int32_t i = 0; i < length; ++i) {
        if (i > 0 && i % 10 == 0) report.append("\r\n");
        report.appendFormat(" %2d", solution[i]);
    }
}

void formatSearchStatus(StatusText& status, int32_t wd, int32_t pdb, int32_t itemCount,
                        int32_t maxThreads) {
    status.clear();
    status.appendFormat(" WD=%d, PDB=%d, Threads=%d/%d", wd, pdb, itemCount, maxThreads);
}

void formatSeconds(StatusText& seconds, int32_t wholeSeconds) {
    seconds.clear();
    seconds.appendFormat("%5d sec", wholeSeconds);
}

}  // namespace fifteen
