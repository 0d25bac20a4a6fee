#pragma once

// What the output box and the status line show, kept as data. The dialog logic
// writes here and the model writes the controls: nothing is read back from a
// window, whose text may not come back as it was set.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/report.h"
#include "ui/platform.h"

namespace fifteen::ui {

// The output box: a body (a solve's report, a review, the tables' progress) and,
// under a separator line, a note (a paste's error, the optimal moves, the
// stronger tables' newest lines).
class OutputBox {
  public:
    explicit OutputBox(Platform& platform) : platform_(platform) {}

    // A new body, without a note; moves: where each move of its solution is written
    // in it (empty when it lists none).
    void setText(std::string text, std::vector<TextSpan> moves = {});
    // Lines added at the end of the body.
    void appendToBody(std::string_view lines);
    // The note under the body; "" takes it and its separator away.
    void setNote(std::string note);

    // Whether the body is a report of a board (a solve's or a review's), which can
    // go stale; set by the dialog when a report is shown or a solve begins.
    void setReportShown(bool shown) { reportShown_ = shown; }
    bool reportShown() const { return reportShown_; }
    // A report that no longer belongs to the board is shown dimmed, under a note;
    // the lines after it (appended to the body, and the note) stay current.
    void setStale(bool stale);
    bool stale() const { return stale_; }
    // Marks move (counted from 0) of the body's solution as the current place;
    // -1, or a move the body does not list, takes the mark away.
    void markMove(int32_t move);

    const std::string& body() const { return body_; }
    const std::string& note() const { return note_; }
    // The whole text as the box shows it.
    std::string text() const;

  private:
    void show();
    void showMark(bool newText);
    void showStale();

    Platform& platform_;
    std::string body_;
    std::string note_;
    std::vector<TextSpan> moves_;
    std::size_t reportEnd_ = 0;  // the body as set, before lines appended to it
    bool reportShown_ = false;
    bool stale_ = false;
    int32_t markedMove_ = -1;
    TextSpan markShown_{};
};

// The status line, and the seconds line beside it.
class StatusLine {
  public:
    explicit StatusLine(Platform& platform) : platform_(platform) {}

    void set(std::string text);
    const std::string& text() const { return text_; }
    void setSeconds(std::string_view text);
    // A note over the status line while something works: when it ends, what it
    // covered comes back, unless something else was written meanwhile.
    void showNote(std::string note);
    void endNote();
    bool noteShown() const { return noteShown_; }

  private:
    Platform& platform_;
    std::string text_;
    std::string covered_;
    bool noteShown_ = false;
};

}  // namespace fifteen::ui
