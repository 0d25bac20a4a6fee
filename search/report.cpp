#include "search/report.h"

#include <algorithm>
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
    // Straight into the free room: a piece that does not fit is cut there.
    const std::size_t room = Capacity - length_;
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(text_.data() + length_, room, format, arguments);
    va_end(arguments);
    if (written > 0) length_ += std::min(static_cast<std::size_t>(written), room - 1);
    text_[length_] = '\0';
}

template class TextBuffer<reportCapacity>;
template class TextBuffer<statusCapacity>;
template class TextBuffer<progressCapacity>;

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
                    ElapsedTime elapsed, TextSpan* moves) {
    report.appendFormat("Optimal solution is %d moves.\r\n", length);
    report.appendFormat("Used time: %d.%02d sec\r\n", elapsed.seconds, elapsed.hundredths);
    report.append("Solution:\r\n");
    for (int32_t i = 0; i < length; ++i) {
        if (i > 0 && i % 10 == 0) report.append("\r\n");
        const std::size_t before = report.size();
        report.appendFormat(" %2d", solution[i]);
        if (moves == nullptr) continue;
        const int32_t digits = solution[i] >= 10 || solution[i] < 0 ? 2 : 1;
        const auto end = static_cast<int32_t>(before) + 3;
        // A move the report had no room for has no span.
        moves[i] = report.size() == before + 3 ? TextSpan{end - digits, end} : TextSpan{};
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

void appendCount(ProgressText& text, uint64_t count) {
    if (count < 1000) {
        text.appendFormat("%llu", static_cast<unsigned long long>(count));
        return;
    }
    constexpr const char* units = "kMGTPE";
    // Scaled so the shown value, once rounded, stays below 1000 (999.6 k is "1.0 M").
    double value = static_cast<double>(count) / 1000.0;
    std::size_t unit = 0;
    while (value >= 999.5 && unit < 5) {
        value /= 1000.0;
        ++unit;
    }
    if (value < 9.95) {
        text.appendFormat("%.1f %c", value, units[unit]);
    } else {
        text.appendFormat("%.0f %c", value, units[unit]);
    }
}

void formatProgress(ProgressText& text, int32_t bound, uint64_t nodes, int64_t searchMs) {
    text.clear();
    text.appendFormat("Searching: bound %d, ", bound);
    appendCount(text, nodes);
    text.append(" nodes, ");
    const double rate =
        searchMs > 0 ? static_cast<double>(nodes) * 1000.0 / static_cast<double>(searchMs) : 0.0;
    // Clamped: a rate past the largest count only comes from a broken clock.
    constexpr double largest = 1.8e19;
    appendCount(text, rate < largest ? static_cast<uint64_t>(rate) : ~uint64_t{0});
    text.append(" nodes/s");
}

}  // namespace fifteen
