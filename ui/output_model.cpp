#include "ui/output_model.h"

#include <utility>

#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

namespace {

constexpr std::string_view lineEnd = "\r\n";

}  // namespace

std::string OutputBox::text() const {
    if (note_.empty()) return body_;
    std::string text = body_;
    text.append(lineEnd).append(outputSeparator).append(lineEnd);
    return text.append(note_).append(lineEnd);
}

void OutputBox::setText(std::string text, std::vector<TextSpan> moves) {
    body_ = std::move(text);
    reportEnd_ = body_.size();
    moves_ = std::move(moves);
    note_.clear();
    show();
}

void OutputBox::appendToBody(std::string_view lines) {
    body_.append(lines);
    show();
}

void OutputBox::setNote(std::string note) {
    if (note == note_) return;
    note_ = std::move(note);
    show();
}

void OutputBox::setStale(bool stale) {
    if (stale == stale_) return;
    stale_ = stale;
    showStale();
}

void OutputBox::showStale() {
    platform_.setOutputStale(stale_ ? staleReportNote : "", static_cast<int>(reportEnd_));
}

void OutputBox::markMove(int32_t move) {
    markedMove_ = move;
    showMark(false);
}

void OutputBox::show() {
    platform_.setControlText(idOutput, text());
    if (stale_) showStale();
    showMark(true);
}

// The body comes first, so its spans hold in the whole text. After a new text the
// mark is set again, whatever the window system did with the old one.
void OutputBox::showMark(bool newText) {
    TextSpan span{};
    if (markedMove_ >= 0 && static_cast<size_t>(markedMove_) < moves_.size()) {
        span = moves_[static_cast<size_t>(markedMove_)];
    }
    const TextSpan none{};
    if (span == markShown_ && !(newText && span != none)) return;
    markShown_ = span;
    platform_.markOutput(span.begin, span.end);
}

void StatusLine::set(std::string text) {
    text_ = std::move(text);
    noteShown_ = false;
    platform_.setControlText(idStatus, text_);
}

void StatusLine::showNote(std::string note) {
    if (!noteShown_) covered_ = text_;
    set(std::move(note));
    noteShown_ = true;
}

void StatusLine::endNote() {
    if (!noteShown_) return;
    set(covered_);
}

void StatusLine::setSeconds(std::string_view text) {
    platform_.setControlText(idSeconds, text);
}

}  // namespace fifteen::ui
