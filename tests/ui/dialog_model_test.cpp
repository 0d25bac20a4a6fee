// The dialog's state kept as data on the headless host: the output box as the
// dialog wrote it is what the window shows, its move mark is on the move's own
// number, posted calls keep their order and die with the dialog, and the state
// type names every mode.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "search/report.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_state.h"
#include "ui/output_model.h"

namespace fifteen::ui::testing {
namespace {

std::string shownSpan(const HeadlessPlatform& host) {
    const auto [begin, end] = host.outputMark;
    return host.controlText(idOutput).substr(static_cast<size_t>(begin),
                                             static_cast<size_t>(end - begin));
}

TEST(OutputBox, TheNoteSitsUnderTheBodyAndGoesAlone) {
    HeadlessPlatform host;
    OutputBox box(host);
    box.setText("report\r\n");
    box.setNote("Paste: no position");
    EXPECT_EQ(host.controlText(idOutput),
              std::string("report\r\n\r\n") + outputSeparator + "\r\nPaste: no position\r\n");
    box.appendToBody("hint\r\n");
    EXPECT_EQ(box.body(), "report\r\nhint\r\n");
    box.setNote("");
    EXPECT_EQ(host.controlText(idOutput), "report\r\nhint\r\n");
    box.setNote("x");
    box.setText("new");  // a new body comes without the old note
    EXPECT_EQ(host.controlText(idOutput), "new");
}

// Whatever note lies below, the mark covers exactly the number of the marked move,
// as the formatter said where it wrote it; a body listing no moves takes it away.
TEST(OutputBox, TheMarkIsTheMovesNumberWhateverFollowsIt) {
    HeadlessPlatform host;
    OutputBox box(host);
    std::mt19937 random(11);
    for (const int32_t length : {1, 10, 23, 80}) {
        std::vector<int32_t> moves;
        for (int32_t i = 0; i < length; ++i)
            moves.push_back(1 + static_cast<int32_t>(random() % 15));
        ReportText report;
        appendProblem(report, goalBoard);
        std::vector<TextSpan> spans(static_cast<size_t>(length));
        appendSolution(report, length, moves.data(), ElapsedTime{0, 3}, spans.data());
        box.setText(report.c_str(), spans);
        for (int k = 0; k < 30; ++k) {
            const auto move = static_cast<int32_t>(random() % static_cast<uint32_t>(length));
            if (random() % 2 == 0) box.setNote(k % 3 == 0 ? "" : "Optimal moves: 5 (up)");
            box.markMove(move);
            EXPECT_EQ(shownSpan(host), std::to_string(moves[static_cast<size_t>(move)]));
            EXPECT_EQ(host.controlText(idOutput), box.text());
        }
        box.markMove(length);  // past the list: no mark
        EXPECT_EQ(host.outputMark, (std::pair<int, int>{0, 0}));
        box.markMove(0);
        box.setText("Building the solver's tables:\r\n");
        EXPECT_EQ(host.outputMark, (std::pair<int, int>{0, 0}));
    }
}

// The dim covers the report as it was set and nothing written after it: the
// unsolvable hint appended to it, the note under it.
TEST(OutputBox, TheStalePartIsTheReportAloneWhateverIsWrittenAfterIt) {
    HeadlessPlatform host;
    OutputBox box(host);
    const std::string report = " 1  2  3  4\r\nUnSolvable.";
    box.setText(report);
    box.setReportShown(true);
    box.appendToBody("\r\nhint\r\n");
    box.setStale(true);
    EXPECT_EQ(host.staleEnd, static_cast<int>(report.size()));
    box.setNote("Paste: no position");
    EXPECT_EQ(host.staleEnd, static_cast<int>(report.size()));
    EXPECT_EQ(host.controlText(idOutput).substr(0, report.size()), report);
    box.setText("a longer report than before");
    EXPECT_EQ(host.staleEnd, static_cast<int>(std::string("a longer report than before").size()));
    box.setStale(false);
    EXPECT_EQ(host.staleEnd, 0);
}

TEST(OutputBox, StaleOnlyOverAReportAndToldOncePerChange) {
    HeadlessPlatform host;
    OutputBox box(host);
    box.setStale(true);
    EXPECT_EQ(host.staleNote, staleReportNote);
    host.staleNote = "untouched";
    box.setStale(true);
    EXPECT_EQ(host.staleNote, "untouched");
    box.setStale(false);
    EXPECT_EQ(host.staleNote, "");
}

// Random use of the dialog: after every step the window shows exactly what the
// dialog's model holds, and a marked move is the solution's move just played.
TEST(DialogOutput, TheWindowAlwaysShowsTheModelAndTheMarkThePlayedMove) {
    DialogRig rig;
    rig.makeReady();
    std::mt19937 random(23);
    int marked = 0;
    for (int step = 0; step < 300; ++step) {
        switch (random() % 9) {
            case 0:
                rig.backwardClicks({14, 10, 9, 13, 12, 8});
                break;
            case 1:
                rig.host.click(idBackward);
                for (int k = 0; k < 6; ++k) rig.host.key(Key::left);
                rig.host.key(Key::up);
                break;
            case 2:
                if (rig.dialog.allReady()) rig.solveAndWait();
                break;
            case 3:
                rig.host.key(random() % 2 ? Key::right : Key::left, random() % 3 == 0);
                rig.host.advance(200);
                break;
            case 4:
                rig.host.dropText("not a position");
                break;
            case 5:
                rig.host.key(Key::optimalMoves);
                rig.host.pumpUntil([] { return false; }, std::chrono::milliseconds(30));
                break;
            case 6:
                if (rig.host.click(idTrace)) rig.host.advance(9 * 10 * 2);
                break;
            case 7:
                rig.host.key(Key::end);
                break;
            default:
                rig.host.click(idReset);
                break;
        }
        rig.host.pump();
        ASSERT_EQ(rig.host.controlText(idOutput), rig.dialog.output().text()) << "step " << step;
        if (rig.host.outputMark.first != rig.host.outputMark.second) {
            const int32_t played = rig.dialog.playback().position;
            ASSERT_GT(played, 0);
            ++marked;
            EXPECT_EQ(shownSpan(rig.host),
                      std::to_string(rig.dialog.lastSolve().moves[static_cast<size_t>(played - 1)]))
                << "step " << step;
        }
    }
    EXPECT_GT(marked, 20);
    rig.host.close();
}

// A worker's posts and its completion message arrive in the order they were
// made, only when the GUI thread serves them, and never once closing has begun.
TEST(PostedCalls, KeepTheirOrderWithMessagesAndDieWithTheDialog) {
    HeadlessPlatform host;
    std::vector<int> order;
    std::thread worker([&] {
        host.post([&] { order.push_back(1); });
        host.post([&] { order.push_back(2); });
    });
    worker.join();
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(host.pump(), 2);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    host.post([&] { order.push_back(3); });
    host.beginClose();
    std::thread late([&] { host.post([&] { order.push_back(4); }); });
    late.join();
    EXPECT_EQ(host.pump(), 0);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

// A solve's texts travel as posts: the solve thread never waits on the dialog,
// and the report is complete when the completion message is handled.
TEST(PostedCalls, ASolveReportsWithoutWaitingOnTheDialog) {
    DialogRig rig;
    rig.makeReady();
    std::atomic<bool> returned{false};
    rig.services.job = [&](const Board& board, SolveOutput& output) {
        output.setOutputText("problem\r\n");
        output.setStatusText(" WD=1, PDB=1, Threads=1/1");
        returned = true;  // nobody has pumped: the texts did not wait
        oracleSolve(board, output);
    };
    rig.backwardClicks({14});
    rig.host.click(idSolve);
    ASSERT_TRUE(rig.host.pumpUntil([&] { return returned.load(); }));
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.mode() == UiMode::solved; }));
    EXPECT_NE(rig.host.controlText(idOutput).find("Optimal solution is 1 moves."),
              std::string::npos);
    EXPECT_EQ(rig.dialog.lastSolve().length, 1);
}

TEST(DialogState, EveryModeHasAStateAndBusyMeansOnlyCancelWorks) {
    for (const UiMode mode : {UiMode::idle, UiMode::backward, UiMode::directDrag, UiMode::solving,
                              UiMode::solved, UiMode::tracing}) {
        EXPECT_EQ(modeOf(stateOf(mode)), mode);
        EXPECT_EQ(isBusy(stateOf(mode)), mode == UiMode::solving || mode == UiMode::tracing);
    }
    EXPECT_TRUE(isBusy(DialogState::pausing));
    EXPECT_FALSE(isBusy(DialogState::stepping));
}

// Every board key the dialog acts on says it used the key, so the window system
// never acts on it too.
TEST(DialogKeys, TheMarksKeyIsHandled) {
    DialogRig rig;
    rig.makeReady();
    EXPECT_TRUE(rig.host.key(Key::optimalMoves));
    EXPECT_TRUE(rig.dialog.marksOn());
    EXPECT_TRUE(rig.host.key(Key::optimalMoves));
    EXPECT_FALSE(rig.dialog.marksOn());
}

}  // namespace
}  // namespace fifteen::ui::testing
