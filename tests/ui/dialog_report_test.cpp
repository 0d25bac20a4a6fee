// The output box beside the board on the headless host: a report is marked stale
// as soon as the board no longer is its problem or a step of its solution, and a
// refused paste's message is shown whole, below the report.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "puzzle/position_parser.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {
namespace {

using testing::DialogRig;

// Five moves from the goal: 0 sits at cell 10 after four backward clicks.
const char* const problemText = "1 2 3 4 5 6 7 8 9 10 0 11 13 14 15 12";

void paste(DialogRig& rig, const std::string& text) {
    rig.host.clipboard = text;
    rig.host.key(Key::paste);
}

void solvedRig(DialogRig& rig) {
    rig.makeReady();
    paste(rig, problemText);
    rig.solveAndWait();
    ASSERT_EQ(rig.dialog.mode(), UiMode::solved);
    ASSERT_GT(rig.dialog.lastSolve().length, 0);
    ASSERT_EQ(rig.host.staleNote, "");
}

struct ChangeCase {
    const char* name;
    std::function<void(DialogRig&)> change;
};
void PrintTo(const ChangeCase& c, std::ostream* out) {
    *out << c.name;
}

class StaleReport : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(StaleReport, MarkedAfterTheChangeAndClearedByResetAndSolve) {
    DialogRig rig;
    solvedRig(rig);
    const std::string report = rig.host.controlText(idOutput);
    GetParam().change(rig);
    EXPECT_EQ(rig.host.staleNote, staleReportNote);
    EXPECT_TRUE(rig.dialog.reportStale());
    EXPECT_EQ(rig.host.controlText(idOutput), report) << "the report itself stays";
    // Back to the problem by paste clears the mark, as Reset after stepping does;
    // a new solve always does.
    paste(rig, problemText);
    EXPECT_EQ(rig.host.staleNote, "");
    GetParam().change(rig);
    rig.solveAndWait();
    EXPECT_EQ(rig.host.staleNote, "");
}

const ChangeCase changes[] = {
    {"Paste", [](DialogRig& rig) { paste(rig, "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"); }},
    {"Shuffle", [](DialogRig& rig) { rig.host.click(idShuffle); }},
    {"BackwardKey",
     [](DialogRig& rig) {
         rig.host.click(idBackward);
         rig.host.key(Key::right);
         rig.host.key(Key::down);
     }},
    {"Drag",
     [](DialogRig& rig) {
         rig.host.click(idDirectDrag);
         rig.drag(0, 1);
     }},
    {"Drop", [](DialogRig& rig) { rig.host.dropText("15 14 13 12 11 10 9 8 7 6 5 4 3 2 1 0"); }},
};
INSTANTIATE_TEST_SUITE_P(EachChange, StaleReport, ::testing::ValuesIn(changes),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// Every step of the solution, by key, by playback or back by Reset, belongs to
// the report; so does the goal that Backward or Reset puts up.
TEST(StaleReport, StepsAndPlaybackKeepTheReport) {
    DialogRig rig;
    solvedRig(rig);
    const int32_t length = rig.dialog.lastSolve().length;
    for (int32_t i = 0; i < length; ++i) {
        rig.host.key(Key::right, true);
        ASSERT_FALSE(rig.dialog.reportStale()) << "step " << i + 1;
    }
    rig.host.key(Key::home);
    rig.host.click(idTrace);
    while (rig.host.fireTimer(timerMain)) ASSERT_FALSE(rig.dialog.reportStale());
    rig.host.advance(pauseMs);
    rig.host.key(Key::end);
    rig.host.click(idReset);
    EXPECT_EQ(rig.dialog.view().board, rig.dialog.lastSolve().problem);
    EXPECT_EQ(rig.host.staleNote, "");
    rig.host.click(idReset);
    rig.host.click(idBackward);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.host.staleNote, "");
}

TEST(PasteError, ShownWholeInTheStatusLineAndBelowTheReport) {
    DialogRig rig;
    solvedRig(rig);
    const std::string report = rig.host.controlText(idOutput);
    const Board before = rig.dialog.view().board;
    const char* const bad = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 15";
    const std::string error = parsePosition(bad).error;
    ASSERT_GT((pastePrefix + error).size(), 44u) << "longer than the status line once held";
    paste(rig, bad);
    EXPECT_EQ(rig.host.controlText(idStatus), pastePrefix + error);
    const std::string shown = rig.host.controlText(idOutput);
    EXPECT_EQ(shown.rfind(report, 0), 0u) << "the report is untouched above";
    EXPECT_EQ(shown.substr(report.size()),
              std::string("\r\n") + outputSeparator + "\r\nPaste: " + error + "\r\n");
    // A second error replaces the first; a valid paste takes it away.
    rig.host.dropText("1 2 x");
    const std::string second = rig.host.controlText(idOutput);
    EXPECT_EQ(second.find(error), std::string::npos);
    EXPECT_NE(second.find(parsePosition("1 2 x").error), std::string::npos);
    EXPECT_EQ(rig.dialog.view().board, before);
    paste(rig, problemText);
    EXPECT_EQ(rig.host.controlText(idOutput), report);
}

}  // namespace
}  // namespace fifteen::ui
