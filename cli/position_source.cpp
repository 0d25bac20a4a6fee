#include "cli/position_source.h"

namespace fifteen::cli {

bool isSkippedLine(const std::string& line) {
    for (const char c : line) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') continue;
        return c == '#';
    }
    return true;
}

bool LineSource::next(PositionInput& out) {
    std::string line;
    while (std::getline(in_, line)) {
        ++lineNumber_;
        if (isSkippedLine(line)) continue;
        out.origin = name_ + ":" + std::to_string(lineNumber_);
        out.text = std::move(line);
        return true;
    }
    return false;
}

}  // namespace fifteen::cli
