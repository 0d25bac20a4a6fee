#include "cli/position_source.h"

#include <algorithm>

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
        out.loneNumber = false;
        return true;
    }
    return false;
}

bool isLoneNumber(const std::string& text) {
    const std::size_t digits = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
    return text.size() > digits &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

PositionSequence::PositionSequence(const std::vector<std::string>& arguments, std::string file,
                                   std::istream& standardInput,
                                   std::function<bool()> standardInputReady, int64_t lineOffset)
    : file_(std::move(file)),
      standardInput_(standardInput),
      standardInputReady_(std::move(standardInputReady)),
      lineOffset_(lineOffset) {
    if (arguments.size() == 16 && std::all_of(arguments.begin(), arguments.end(), isLoneNumber)) {
        std::string text;
        for (const std::string& number : arguments) text += (text.empty() ? "" : " ") + number;
        sources_.push_back({PositionInput{"arguments 1-16", text}, false});
    } else {
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            if (arguments[i] == "-") {
                sources_.push_back({std::nullopt, false});
            } else {
                sources_.push_back({PositionInput{"argument " + std::to_string(i + 1), arguments[i],
                                                  isLoneNumber(arguments[i])},
                                    false});
            }
        }
    }
    if (!file_.empty()) sources_.push_back({std::nullopt, true});
    if (arguments.empty() && file_.empty()) sources_.push_back({std::nullopt, false});
}

// Opens each stream when its turn comes, so a file is not opened before the
// positions ahead of it are answered.
bool PositionSequence::fetch(PositionInput& out, bool mayWait) {
    while (current_ < sources_.size()) {
        const Source& source = sources_[current_];
        if (source.argument) {
            out = *source.argument;
            ++current_;
            return true;
        }
        if (!lines_) {
            if (source.isFile) {
                fileStream_.open(file_);
                if (!fileStream_) {
                    fileFailed_ = true;
                    current_ = sources_.size();
                    return false;
                }
                stream_ = &fileStream_;
                lines_.emplace(fileStream_, file_, lineOffset_);
            } else {
                stream_ = &standardInput_;
                lines_.emplace(standardInput_, "stdin", lineOffset_);
            }
        }
        // Buffered or readable at once (a file, or a pipe or terminal with input).
        if (!mayWait) {
            const bool ready = stream_ == &standardInput_ ? standardInputReady_()
                                                          : stream_->rdbuf()->in_avail() > 0;
            if (!ready) return false;
        }
        if (lines_->next(out)) return true;
        lines_.reset();
        ++current_;
    }
    return false;
}

bool PositionSequence::next(PositionInput& out) {
    if (ahead_) {
        out = std::move(*ahead_);
        ahead_.reset();
        return true;
    }
    return fetch(out, true);
}

bool PositionSequence::moreFollow() {
    if (ahead_) return true;
    PositionInput input;
    if (!fetch(input, false)) return false;
    ahead_ = std::move(input);
    return true;
}

}  // namespace fifteen::cli
