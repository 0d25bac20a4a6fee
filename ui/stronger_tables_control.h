#pragma once

// The dialog's "Stronger tables" toggle: the 7+8 tables loaded or built on a
// thread of their own while Solve goes on with the default set, then handed to
// the solves. The choice lives here only (wanted), so that settings can keep it.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/platform.h"

namespace fifteen {
class StrongerTables;
class TableSet;
}  // namespace fifteen

namespace fifteen::ui {

// Where the stronger tables come from. The program's loads or builds the cache
// file; tests give a small set, or one that fails or waits for stop.
class StrongerTablesSource {
  public:
    virtual ~StrongerTablesSource() = default;
    // On the control's thread, one call at a time: the tables, or null when they
    // failed or stop was seen (then nothing is left behind). Lines for the output
    // box go to report. The set stays valid while the source lives.
    virtual const TableSet* prepare(const std::atomic<bool>& stop,
                                    const std::function<void(const std::string&)>& report) = 0;
};

// The 7+8 tables of $XDG_CACHE_HOME/fifteen, built on every core when the file
// is missing or cannot be used.
class ProgramStrongerTables final : public StrongerTablesSource {
  public:
    ProgramStrongerTables();
    ~ProgramStrongerTables() override;
    const TableSet* prepare(const std::atomic<bool>& stop,
                            const std::function<void(const std::string&)>& report) override;

  private:
    std::unique_ptr<StrongerTables> tables_;
};

class StrongerTablesControl {
  public:
    // Messages go to the dialog through platform (msgStrongerTablesLine, msgStrongerTablesDone).
    StrongerTablesControl(Platform& platform, StrongerTablesSource& source);
    ~StrongerTablesControl();  // stop() first when the thread may be sending
    StrongerTablesControl(const StrongerTablesControl&) = delete;
    StrongerTablesControl& operator=(const StrongerTablesControl&) = delete;

    // GUI thread from here on.
    bool wanted() const { return wanted_; }
    // Records the choice only (before the dialog opens; setWanted starts it).
    void choose(bool on);
    // On: starts the thread unless the tables are there already. Off: the
    // solves go back to the default set at once; a build still running is
    // stopped (it ends with msgStrongerTablesDone).
    void setWanted(bool on);
    bool preparing() const { return running_; }
    // The set the solves are to use: the stronger one when wanted and ready, else
    // null (the default set).
    const TableSet* tables() const { return wanted_ ? tables_ : nullptr; }
    // The lines reported since the last call (on msgStrongerTablesLine).
    std::vector<std::string> takeLines();
    // On msgStrongerTablesDone: takes the thread's tables. False when they
    // failed (wanted is then off again).
    bool finish();
    // Closing, after platform.beginClose(): stops a build and joins it.
    void stop();

  private:
    void start();

    Platform& platform_;
    StrongerTablesSource& source_;
    bool wanted_ = false;
    bool running_ = false;  // started, its done message not yet handled
    bool restart_ = false;  // turned on again while a stopped build was ending
    const TableSet* tables_ = nullptr;
    // Read by the source between steps of the build; relaxed, it hands over no
    // data (the result comes under the lock).
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> lines_;
    const TableSet* result_ = nullptr;
    std::thread thread_;
    std::thread ending_;  // the thread before, which may not have returned yet
};

}  // namespace fifteen::ui
