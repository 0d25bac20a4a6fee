// What the dialog keeps between runs, the Help and About windows, the board's
// description for assistive tools and the current move marked in the report.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <sstream>
#include <string>

#include "fifteen/version.h"
#include "puzzle/position_parser.h"
#include "search/report.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_texts.h"
#include "ui/help_text.h"

namespace fifteen::ui::testing {
namespace {

// A dialog over fake services that keeps its choices in settings.
struct KeptRig {
    explicit KeptRig(Settings& settings) {
        dialog.rememberIn(settings);
        host.open(dialog);
    }
    bool pasteBlankFirst() {
        host.menuChoice = -1;
        host.rightClick(cellCentre(dialog, 0));
        return host.lastMenu.at(static_cast<size_t>(Action::pasteBlankFirst)).checked;
    }
    bool marksOn() {
        host.menuChoice = -1;
        host.rightClick(cellCentre(dialog, 0));
        return host.lastMenu.at(static_cast<size_t>(Action::showOptimalMoves)).checked;
    }
    HeadlessPlatform host;
    FakeServices services;
    MainDialog dialog{host, services};
};

TEST(KeptSettings, SpeedAndPasteToggleComeBackInTheNextDialog) {
    MemorySettings settings;
    {
        KeptRig first(settings);
        EXPECT_EQ(first.dialog.speed(), normalSpeed);
        EXPECT_FALSE(first.pasteBlankFirst());
        EXPECT_FALSE(first.marksOn());
        first.host.key(Key::optimalMoves);
        first.host.key(Key::slower);
        first.host.key(Key::slower);
        first.host.menuChoice = static_cast<int>(Action::pasteBlankFirst);
        first.host.rightClick(cellCentre(first.dialog, 0));
        first.host.close();
    }
    KeptRig second(settings);
    EXPECT_EQ(second.dialog.speed(), normalSpeed - 2);
    EXPECT_TRUE(second.pasteBlankFirst());
    EXPECT_TRUE(second.marksOn());
    // Read as blank first: Korf's form of the goal is the board's goal.
    second.host.clipboard = "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15";
    second.host.key(Key::paste);
    EXPECT_EQ(second.dialog.view().board, goalBoard);
    second.host.key(Key::faster);
    EXPECT_EQ(settings.intValue(settingKeys::playbackSpeed, -1, 0, 3), normalSpeed - 1);
}

TEST(KeptSettings, AStoredValueThatIsNoneOfTheChoicesIsIgnored) {
    for (const char* stored : {"4", "-1", "x", "2x", "", " 1"}) {
        MemorySettings settings;
        settings.setValue(settingKeys::playbackSpeed, stored);
        settings.setValue(settingKeys::pasteBlankFirst, stored);
        settings.setValue(settingKeys::showOptimalMoves, stored);
        KeptRig rig(settings);
        EXPECT_EQ(rig.dialog.speed(), normalSpeed) << stored;
        EXPECT_FALSE(rig.pasteBlankFirst()) << stored;
        EXPECT_FALSE(rig.marksOn()) << stored;
    }
}

TEST(HelpWindows, F1ShowsTheKeysAndAboutTheVersionSolverAndLicence) {
    DialogRig rig;
    EXPECT_TRUE(rig.host.key(Key::help));
    EXPECT_EQ(rig.host.textWindowTitle, helpTitle);
    for (const char* key :
         {"F1", "Ctrl+V", "Alt+S", "Tab", "H ", "T ", "Check my moves", "--reset-settings"})
        EXPECT_NE(rig.host.textWindowText.find(key), std::string::npos) << key;
    rig.host.menuChoice = static_cast<int>(Action::about);
    rig.host.rightClick(rig.cellCentre(5));
    EXPECT_EQ(rig.host.textWindowTitle, aboutTitle);
    for (const char* part : {versionString, gitRevision, startupStatus, "MIT"})
        EXPECT_NE(rig.host.textWindowText.find(part), std::string::npos) << part;
}

// The description read back as a position.
Board describedBoard(const HeadlessPlatform& host) {
    const std::string& described = host.boardDescription;
    EXPECT_EQ(std::count(described.begin(), described.end(), '\n'), 3);
    std::istringstream words(described);
    std::string text;
    for (std::string word; words >> word;) text += (word == "blank" ? "0" : word) + " ";
    const ParsedPosition parsed = parsePosition(text);
    EXPECT_TRUE(parsed.ok) << described;
    return parsed.board;
}

TEST(BoardDescription, FollowsEveryChangeOfTheBoard) {
    DialogRig rig;
    EXPECT_EQ(describedBoard(rig.host), goalBoard);
    std::mt19937 random(5);
    for (int round = 0; round < 5; ++round) {
        rig.host.click(idDirectDrag);
        rig.drag(round, 15 - round);
        EXPECT_EQ(describedBoard(rig.host), rig.dialog.view().board);
        rig.host.clipboard = formatPosition(test_support::randomWalkFromGoal(random, 20));
        rig.host.key(Key::paste);
        EXPECT_EQ(describedBoard(rig.host), rig.dialog.view().board);
    }
}

// The marked text of the output box, "" when nothing is marked.
std::string markedText(const HeadlessPlatform& host) {
    const auto [begin, end] = host.outputMark;
    return host.controlText(idOutput).substr(static_cast<size_t>(begin),
                                             static_cast<size_t>(end - begin));
}

TEST(MoveMark, FollowsStepsAndPlaybackAndGoesWithAStaleReport) {
    DialogRig rig;
    rig.makeReady();
    std::mt19937 random(11);
    rig.host.clipboard = formatPosition(test_support::randomWalkFromGoal(random, 12));
    rig.host.key(Key::paste);
    rig.solveAndWait();
    const auto& moves = rig.dialog.lastSolve().moves;
    const int32_t length = rig.dialog.lastSolve().length;
    ASSERT_GT(length, 2);
    EXPECT_EQ(markedText(rig.host), "");
    // Held down, the steps land at once.
    for (int32_t position = 1; position <= length; ++position) {
        rig.host.key(Key::right, true);
        EXPECT_EQ(markedText(rig.host), std::to_string(moves[static_cast<size_t>(position - 1)]));
    }
    rig.host.key(Key::home);
    EXPECT_EQ(markedText(rig.host), "");
    rig.host.click(idTrace);
    for (int tick = 0; tick < 9 * 2 + 1; ++tick) rig.host.fireTimer(timerMain);
    EXPECT_EQ(rig.dialog.playback().position, 3);  // the third move has started
    EXPECT_EQ(markedText(rig.host), std::to_string(moves[2]));
    rig.host.click(idCancel);
    while (rig.dialog.mode() == UiMode::tracing) rig.host.fireTimer(timerMain);
    EXPECT_FALSE(markedText(rig.host).empty());  // stopped on a step of the solution
    rig.host.click(idShuffle);
    EXPECT_EQ(markedText(rig.host), "");
}

TEST(MoveMark, SpanOfEveryMoveOfALongListIsItsNumber) {
    std::mt19937 random(3);
    for (const int32_t length : {1, 9, 10, 11, 30, 80}) {
        std::vector<int32_t> moves;
        for (int32_t i = 0; i < length; ++i)
            moves.push_back(1 + static_cast<int32_t>(random() % 15));
        ReportText report;
        appendProblem(report, goalBoard);
        std::array<TextSpan, solutionCapacity + 1> spans{};
        appendSolution(report, length, moves.data(), ElapsedTime{1, 5}, spans.data());
        const std::string text = report.c_str();
        for (int32_t i = 0; i < length; ++i) {
            const auto [begin, end] = spans[static_cast<size_t>(i)];
            EXPECT_EQ(text.substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin)),
                      std::to_string(moves[static_cast<size_t>(i)]))
                << length << " " << i;
        }
        EXPECT_EQ(spans[static_cast<size_t>(length)], TextSpan{});
    }
}

}  // namespace
}  // namespace fifteen::ui::testing
