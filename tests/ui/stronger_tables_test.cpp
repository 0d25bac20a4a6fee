// The "Stronger tables" toggle on the headless host, over sources that stand in
// for the 7+8 tables: ready at once, failing, or building until stopped.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "search/table_set.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {
namespace {

using testing::DeadlockGuard;
using testing::FakeServices;
using testing::HeadlessPlatform;

// Never searched: the fake services' solves do not read a table set.
class NamedSet final : public TableSet {
  public:
    const char* name() const override { return "small test set"; }
    int32_t sharedLayerTarget() const override { return 1; }
    NodeBounds boundsOf(const Board&) const override { return {}; }
    int32_t search(Board&, int32_t, int32_t, const NodeBounds&, int32_t, int32_t*,
                   SearchContext&) const override {
        return 0;
    }
};

// Reports a line, then waits (reporting a line every millisecond, each a
// blocking send) until released or stopped; fails when told to.
class TestSource final : public StrongerTablesSource {
  public:
    const TableSet* prepare(const std::atomic<bool>& stop,
                            const std::function<void(const std::string&)>& report) override {
        ++calls;
        report("building the test tables");
        if (fail) return nullptr;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                if (released_) return &set;
                released_changed_.wait_for(lock, std::chrono::milliseconds(1));
            }
            if (stop.load(std::memory_order_relaxed)) {
                sawStop = true;
                return nullptr;
            }
            if (chatty) report("layer " + std::to_string(++layers));
        }
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        released_changed_.notify_all();
    }

    NamedSet set;
    bool fail = false;
    bool chatty = false;
    int layers = 0;
    std::atomic<int> calls{0};
    std::atomic<bool> sawStop{false};

  private:
    std::mutex mutex_;
    std::condition_variable released_changed_;
    bool released_ = false;
};

struct Rig {
    explicit Rig(bool open = true)
        : dialogOwned([this] {
              services.strongerSource = &source;
              return std::make_unique<MainDialog>(host, services);
          }()),
          dialog(*dialogOwned) {
        if (open) host.open(dialog);
    }
    // The toggle's menu entry as the last menu showed it.
    MenuItem entry() {
        host.menuChoice = -1;
        host.rightClick(testing::cellCentre(dialog, 0));
        return host.lastMenu.at(static_cast<std::size_t>(Action::strongerTables));
    }
    bool waitUntilSettled() {
        return host.pumpUntil([&] { return !dialog.strongerTablesPreparing(); });
    }
    bool outputHas(const std::string& text) const {
        return host.controlText(idOutput).find(text) != std::string::npos;
    }

    TestSource source;
    HeadlessPlatform host;
    FakeServices services;
    std::unique_ptr<MainDialog> dialogOwned;  // made once the source is set
    MainDialog& dialog;
};

TEST(StrongerTables, TheCheckedActionAndItsKeyTurnTheSetOnAndOff) {
    Rig rig;
    rig.host.message(msgPatternDbAReady);
    rig.host.message(msgPatternDbBReady);
    rig.host.message(msgWdTableReady);
    MenuItem item = rig.entry();
    EXPECT_EQ(item.text, "Stronger tables");
    EXPECT_EQ(item.shortcut, "T");
    EXPECT_TRUE(item.checkable && item.enabled);
    EXPECT_FALSE(item.checked);

    rig.source.release();
    EXPECT_TRUE(rig.host.key(Key::strongerTables));
    EXPECT_TRUE(rig.entry().checked);
    ASSERT_TRUE(rig.waitUntilSettled());
    EXPECT_EQ(rig.services.usedTables, &rig.source.set);
    EXPECT_TRUE(rig.outputHas("building the test tables"));
    EXPECT_TRUE(rig.outputHas("ready: solves use small test set"));

    rig.host.menuChoice = static_cast<int>(Action::strongerTables);
    rig.host.rightClick(testing::cellCentre(rig.dialog, 0));
    EXPECT_FALSE(rig.entry().checked);
    EXPECT_EQ(rig.services.usedTables, nullptr);
    EXPECT_TRUE(rig.outputHas(strongerTablesOffText));
    // On again: the tables are kept, so no second build.
    rig.host.key(Key::strongerTables);
    EXPECT_EQ(rig.services.usedTables, &rig.source.set);
    EXPECT_EQ(rig.source.calls.load(), 1);
    EXPECT_EQ(rig.host.threadViolations(), 0);
}

TEST(StrongerTables, SolveKeepsWorkingOnTheDefaultSetDuringTheBuild) {
    Rig rig;
    rig.host.message(msgPatternDbAReady);
    rig.host.message(msgPatternDbBReady);
    rig.host.message(msgWdTableReady);
    rig.source.chatty = true;
    rig.host.key(Key::strongerTables);
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.outputHas("building the test tables"); }));
    rig.host.clipboard = "1 2 3 4 5 6 7 8 9 10 11 12 13 0 14 15";
    rig.host.key(Key::paste);
    ASSERT_TRUE(rig.host.click(idSolve));
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.mode() == UiMode::solved; }));
    EXPECT_EQ(rig.dialog.lastSolve().status, solveSolved);
    EXPECT_EQ(rig.services.usedTables, nullptr);
    EXPECT_TRUE(rig.dialog.strongerTablesPreparing());
    // The build's lines go below the report, which stays.
    const std::string report = rig.host.controlText(idOutput);
    ASSERT_FALSE(report.empty());
    const std::size_t lineCount = rig.host.textLog.size();
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.host.textLog.size() > lineCount + 2; }));
    const std::string shown = rig.host.controlText(idOutput);
    EXPECT_EQ(shown.rfind(report.substr(0, report.find(outputSeparator)), 0), 0u);
    EXPECT_TRUE(rig.outputHas("layer"));
    rig.source.release();
    ASSERT_TRUE(rig.waitUntilSettled());
    EXPECT_EQ(rig.services.usedTables, &rig.source.set);
    EXPECT_TRUE(rig.entry().checked);
}

TEST(StrongerTables, TurningOffStopsTheBuildAndOnAgainStartsAFreshOne) {
    Rig rig;
    rig.source.chatty = true;
    rig.host.key(Key::strongerTables);
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.source.calls.load() == 1; }));
    rig.host.key(Key::strongerTables);
    EXPECT_FALSE(rig.entry().checked);
    ASSERT_TRUE(rig.waitUntilSettled());
    EXPECT_TRUE(rig.source.sawStop.load());
    EXPECT_EQ(rig.services.usedTables, nullptr);
    EXPECT_FALSE(rig.outputHas(strongerTablesFailedText));

    // Off and on again before the stopped build has ended: it ends, then a new
    // one starts.
    rig.source.sawStop = false;
    rig.host.key(Key::strongerTables);
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.source.calls.load() == 2; }));
    rig.host.key(Key::strongerTables);
    rig.host.key(Key::strongerTables);
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.source.calls.load() == 3; }));
    EXPECT_TRUE(rig.source.sawStop.load());
    rig.source.release();
    ASSERT_TRUE(rig.waitUntilSettled());
    EXPECT_EQ(rig.services.usedTables, &rig.source.set);
}

TEST(StrongerTables, AFailedBuildTurnsTheToggleOffAndSaysSo) {
    Rig rig;
    rig.source.fail = true;
    rig.host.key(Key::strongerTables);
    ASSERT_TRUE(rig.waitUntilSettled());
    EXPECT_FALSE(rig.entry().checked);
    EXPECT_EQ(rig.services.usedTables, nullptr);
    EXPECT_TRUE(rig.outputHas(strongerTablesFailedText));
}

TEST(StrongerTables, ClosingDuringTheBuildStopsItWithoutHanging) {
    Rig rig;
    rig.source.chatty = true;  // a blocking send every millisecond
    rig.host.key(Key::strongerTables);
    ASSERT_TRUE(rig.host.waitForPending());
    {
        DeadlockGuard guard("closing during the stronger tables' build");
        rig.host.close();
    }
    EXPECT_TRUE(rig.source.sawStop.load());
    EXPECT_TRUE(rig.host.endResult.has_value());
}

TEST(StrongerTables, TheCommandLinesChoiceStartsTheBuildWhenTheDialogOpens) {
    Rig rig(false);
    rig.dialog.setStrongerTables(true);
    EXPECT_EQ(rig.source.calls.load(), 0);
    rig.source.release();
    rig.host.open(rig.dialog);
    EXPECT_TRUE(rig.dialog.strongerTablesOn());
    ASSERT_TRUE(rig.waitUntilSettled());
    EXPECT_EQ(rig.services.usedTables, &rig.source.set);
}

TEST(StrongerTables, TheMenusChoiceIsKeptAndTheCommandLineOverridesIt) {
    MemorySettings settings;
    {
        Rig first(false);
        first.dialog.rememberIn(settings);
        first.host.open(first.dialog);
        first.source.release();
        first.host.key(Key::strongerTables);
        ASSERT_TRUE(first.waitUntilSettled());
        first.host.close();
    }
    EXPECT_TRUE(settings.boolValue(settingKeys::strongerTables, false));
    for (const bool override : {false, true}) {
        Rig next(false);
        next.dialog.rememberIn(settings);
        if (override) next.dialog.setStrongerTables(false);
        next.source.release();
        next.host.open(next.dialog);
        EXPECT_EQ(next.dialog.strongerTablesOn(), !override);
        ASSERT_TRUE(next.waitUntilSettled());
        next.host.close();
    }
    // A run's command-line choice is not kept.
    EXPECT_TRUE(settings.boolValue(settingKeys::strongerTables, false));
}

TEST(StrongerTables, ServicesWithoutASourceOfferTheActionDisabled) {
    HeadlessPlatform host;
    FakeServices services;
    MainDialog dialog{host, services};
    host.open(dialog);
    host.menuChoice = -1;
    host.rightClick(testing::cellCentre(dialog, 0));
    EXPECT_FALSE(host.lastMenu.at(static_cast<std::size_t>(Action::strongerTables)).enabled);
    EXPECT_TRUE(host.key(Key::strongerTables));
    EXPECT_FALSE(dialog.strongerTablesOn());
}

}  // namespace
}  // namespace fifteen::ui
