#pragma once

// The dialog's "Stronger tables" toggle: the 7+8 tables loaded or built on a
// thread of their own while Solve goes on with the default set, then handed to
// the solves. The choice lives here only (wanted), so that settings can keep it.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ui/platform.h"

namespace fifteen {
class StrongerTables;
class TableSet;
}  // namespace fifteen

namespace fifteen::ui {

// Where a build of the stronger tables stands: the group being built, its
// breadth-first layer, and the share of the whole build done (0 to 1).
struct TablesProgress {
    int32_t groupSize = 0;
    int32_t layer = 0;
    double done = 0;
};
using LineReport = std::function<void(const std::string&)>;
using ProgressReport = std::function<void(const TablesProgress&)>;

// "  group of 7: layer 9, 12% of all, about 1:40 left": the build's line in the
// output box, rewritten in place; the time left once it can be told.
std::string tablesProgressLine(const TablesProgress& progress, int64_t elapsedMs);
// " Stronger tables: 12%, about 1:40 left": the same in short, for the status line.
std::string tablesProgressStatus(const TablesProgress& progress, int64_t elapsedMs);
inline constexpr const char* tablesProgressStatusPrefix = " Stronger tables: ";
// What is left of a build done's share of the way after elapsedMs, at the pace
// so far; -1 until a second and a hundredth of the build have passed.
int64_t timeLeftMs(double done, int64_t elapsedMs);

// Where the stronger tables come from. The program's loads or builds the cache
// file; tests give a small set, or one that fails or waits for stop.
class StrongerTablesSource {
  public:
    virtual ~StrongerTablesSource() = default;
    // On the control's thread, one call at a time: the tables, or null when they
    // failed or stop was seen (then nothing is left behind). Lines for the output
    // box go to report. The set stays valid while the source lives.
    virtual const TableSet* prepare(const std::atomic<bool>& stop, const LineReport& report) = 0;
    // The same, with the build's progress apart from its lines; a source that
    // does not tell it reports its lines alone.
    virtual const TableSet* prepare(const std::atomic<bool>& stop, const LineReport& report,
                                    const ProgressReport& progress) {
        static_cast<void>(progress);
        return prepare(stop, report);
    }
};

// The 7+8 tables of $XDG_CACHE_HOME/fifteen, built on every core when the file
// is missing or cannot be used.
class ProgramStrongerTables final : public StrongerTablesSource {
  public:
    ProgramStrongerTables();
    ~ProgramStrongerTables() override;
    const TableSet* prepare(const std::atomic<bool>& stop, const LineReport& report) override;
    const TableSet* prepare(const std::atomic<bool>& stop, const LineReport& report,
                            const ProgressReport& progress) override;

  private:
    std::unique_ptr<StrongerTables> tables_;
};

class StrongerTablesControl {
  public:
    // What the thread hands over, posted through platform to the GUI thread: each
    // line of the source's report, and its end (after its last line).
    struct Handlers {
        std::function<void(const std::string& line)> line;
        std::function<void()> done;
        std::function<void(const TablesProgress&)> progress;
    };
    StrongerTablesControl(Platform& platform, StrongerTablesSource& source, Handlers handlers);
    ~StrongerTablesControl();  // stop() first when the thread may be sending
    StrongerTablesControl(const StrongerTablesControl&) = delete;
    StrongerTablesControl& operator=(const StrongerTablesControl&) = delete;

    // GUI thread from here on.
    bool wanted() const { return wanted_; }
    // Records the choice only (before the dialog opens; setWanted starts it).
    // From the command line: a kept choice read later does not replace it.
    void choose(bool on, bool fromCommandLine = false);
    bool chosenOnCommandLine() const { return chosenOnCommandLine_; }
    // On: starts the thread unless the tables are there already. Off: the
    // solves go back to the default set at once; a build still running is
    // stopped (it ends with its done handler).
    void setWanted(bool on);
    bool preparing() const { return running_; }
    // The set the solves are to use: the stronger one when wanted and ready, else
    // null (the default set).
    const TableSet* tables() const { return wanted_ ? tables_ : nullptr; }
    // In the done handler: takes the thread's tables. False when they failed
    // (wanted is then off again).
    bool finish();
    // Closing, after platform.beginClose(): stops a build and joins it.
    void stop();

  private:
    void start();

    Platform& platform_;
    StrongerTablesSource& source_;
    Handlers handlers_;
    bool wanted_ = false;
    bool chosenOnCommandLine_ = false;
    bool running_ = false;  // started, its done not yet handled
    bool restart_ = false;  // turned on again while a stopped build was ending
    const TableSet* tables_ = nullptr;
    const TableSet* result_ = nullptr;  // the thread's, from its done post
    // Read by the source between steps of the build; relaxed, it hands over no
    // data (the result comes in a post).
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::thread ending_;  // the thread before, which may not have returned yet
};

}  // namespace fifteen::ui
