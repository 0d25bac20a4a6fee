// Background work shown on the headless host: the stronger tables' build as one
// line rewritten in place under the lines that explain it, the same in short in
// the status line, and the status line saying the optimal moves are being worked
// out until they appear.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/table_set.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui::testing {
namespace {

// The time left is the time so far at the same pace: so far plus left is the
// whole, as the share done says.
TEST(TablesProgress, TimeLeftKeepsThePaceSoFar) {
    std::mt19937 random(9);
    for (int i = 0; i < 500; ++i) {
        const double done = 0.01 + 0.98 * static_cast<double>(random() % 10000) / 10000.0;
        const int64_t elapsed = 1000 + static_cast<int64_t>(random() % 600000);
        const int64_t left = timeLeftMs(done, elapsed);
        const double whole = static_cast<double>(elapsed) / done;
        EXPECT_NEAR(static_cast<double>(elapsed + left), whole, 1.0) << done << " " << elapsed;
    }
    EXPECT_EQ(timeLeftMs(0.005, 60000), -1);  // too early to tell
    EXPECT_EQ(timeLeftMs(0.5, 400), -1);
    EXPECT_EQ(timeLeftMs(1.0, 90000), 0);
}

TEST(TablesProgress, TheLineNamesTheGroupLayerShareAndTimeLeft) {
    const std::string line = tablesProgressLine({8, 23, 0.375}, 30000);
    EXPECT_EQ(line, "  group of 8: layer 23, 37% of all, about 0:50 left");
    EXPECT_EQ(tablesProgressLine({7, 2, 0.001}, 500), "  group of 7: layer 2, 0% of all");
    EXPECT_EQ(tablesProgressStatus({8, 23, 0.375}, 30000),
              std::string(tablesProgressStatusPrefix) + "37%, about 0:50 left");
}

class NamedSet final : public TableSet {
  public:
    const char* name() const override { return "progress test set"; }
    int32_t sharedLayerTarget() const override { return 1; }
    NodeBounds boundsOf(const Board&) const override { return {}; }
    int32_t search(Board&, int32_t, int32_t, const NodeBounds&, int32_t, int32_t*,
                   SearchContext&) const override {
        return 0;
    }
};

// Two lines that explain the build, forty layers of progress, then done.
class ProgressSource final : public StrongerTablesSource {
  public:
    const TableSet* prepare(const std::atomic<bool>& stop, const LineReport& report) override {
        return prepare(stop, report, [](const TablesProgress&) {});
    }
    const TableSet* prepare(const std::atomic<bool>&, const LineReport& report,
                            const ProgressReport& progress) override {
        report("Stronger tables: /tmp/test-tables.bin");
        report("Building them once (minutes) into /tmp/test-tables.bin");
        for (int32_t layer = 0; layer < 40; ++layer) {
            progress({layer < 10 ? 7 : 8, layer, (layer + 1) / 40.0});
        }
        return &set;
    }
    NamedSet set;
};

TEST(StrongerTablesProgress, OneLineRewrittenUnderTheLinesThatExplainIt) {
    ProgressSource source;
    HeadlessPlatform host;
    FakeServices services;
    services.strongerSource = &source;
    MainDialog dialog(host, services);
    host.open(dialog);
    host.message(msgPatternDbAReady);
    host.message(msgPatternDbBReady);
    host.message(msgWdTableReady);
    dialog.setStrongerTables(true);
    int progressShown = 0;
    ASSERT_TRUE(host.pumpUntil([&] {
        const std::string text = host.controlText(idOutput);
        size_t lines = 0;
        for (size_t at = text.find("  group of "); at != std::string::npos;
             at = text.find("  group of ", at + 1))
            ++lines;
        EXPECT_LE(lines, 1u);
        if (lines == 1) {
            ++progressShown;
            EXPECT_NE(text.find("Building them once"), std::string::npos);
            EXPECT_NE(text.find("Stronger tables: /tmp"), std::string::npos);
        }
        return !dialog.strongerTablesPreparing();
    }));
    const std::string text = host.controlText(idOutput);
    EXPECT_NE(text.find("  group of 8: layer 39, 100% of all"), std::string::npos) << text;
    EXPECT_NE(text.find("Building them once"), std::string::npos);
    EXPECT_NE(text.find("ready: solves use progress test set"), std::string::npos);
    // The status line had it in short while it was free, and is free again.
    bool statusHadIt = false;
    for (const auto& [id, written] : host.textLog) {
        if (id == idStatus && written.rfind(tablesProgressStatusPrefix, 0) == 0) statusHadIt = true;
    }
    EXPECT_TRUE(statusHadIt);
    EXPECT_EQ(host.controlText(idStatus), "");
    EXPECT_GT(progressShown, 0);
    host.close();
}

// While an analysis runs the status line says so; when the marks appear, what it
// covered comes back.
TEST(MarksWork, TheStatusLineSaysSoUntilTheMarksAppear) {
    DialogRig rig;
    rig.makeReady();
    rig.backwardClicks({14, 10});
    const std::string before = rig.host.controlText(idStatus);
    rig.services.analysisGate = false;
    rig.host.key(Key::optimalMoves);
    EXPECT_EQ(rig.host.controlText(idStatus), workingOnMarksText(0));
    rig.host.advance(3000);  // the note's seconds, on the virtual clock's timer
    EXPECT_EQ(rig.host.controlText(idStatus).rfind(workingOnMarksText(0), 0), 0u);
    rig.services.analysisGate = true;
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.marks().any(); }));
    EXPECT_EQ(rig.host.controlText(idStatus), before);
    EXPECT_EQ(rig.host.timerPeriod(timerMarks), 0);
    rig.host.close();
}

TEST(MarksWork, TheSecondsShowOnlyForLongWork) {
    EXPECT_EQ(workingOnMarksText(0), workingOnMarksText(1));
    EXPECT_NE(workingOnMarksText(5).find(" 5 s"), std::string::npos);
}

}  // namespace
}  // namespace fifteen::ui::testing
