#include "ui/stronger_tables_control.h"

#include <algorithm>
#include <cstdio>

#include "search/stronger_tables.h"
#include "search/table_set.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace fifteen::ui {

ProgramStrongerTables::ProgramStrongerTables() = default;
ProgramStrongerTables::~ProgramStrongerTables() = default;

const TableSet* ProgramStrongerTables::prepare(
    const std::atomic<bool>& stop, const std::function<void(const std::string&)>& report) {
    if (tables_ && tables_->tableSet() != nullptr) return tables_->tableSet();
    std::string error;
    const std::string path = strongerTablesPath(error);
    if (path.empty()) {
        report("No folder for the stronger tables: " + error);
        return nullptr;
    }
    // A fresh object for each attempt: one that was stopped holds nothing.
    tables_ = std::make_unique<StrongerTables>();
    TableCacheOptions options;
    options.threads = std::max(static_cast<int32_t>(std::thread::hardware_concurrency()), 1);
    options.stop = &stop;
    options.report = report;
    bool announced = false;
    options.progress = [&](std::size_t table, int32_t depth, int64_t reached) {
        if (!announced) {
            report("Building them once (minutes) into " + path);
            announced = true;
        }
        const int32_t size = table == 0 ? 7 : 8;
        char line[96];
        std::snprintf(line, sizeof line, "  group of %d: layer %d, %d%% placed", size, depth,
                      static_cast<int>(reached * 100 / groupEntryCount(size)));
        report(line);
    };
    report("Stronger tables: " + path);
    const TableCacheResult result = tables_->prepare(path, options);
    if (result == TableCacheResult::stopped) return nullptr;
    return tables_->tableSet();
}

StrongerTablesControl::StrongerTablesControl(Platform& platform, StrongerTablesSource& source)
    : platform_(platform), source_(source) {}

StrongerTablesControl::~StrongerTablesControl() {
    stop();
}

void StrongerTablesControl::choose(bool on) {
    wanted_ = on;
}

void StrongerTablesControl::setWanted(bool on) {
    wanted_ = on;
    if (!on) {
        restart_ = false;
        if (running_) stop_.store(true, std::memory_order_relaxed);
        return;
    }
    if (tables_ != nullptr) return;
    if (running_) {
        restart_ = true;  // the stopped build ends first (finish)
        return;
    }
    start();
}

void StrongerTablesControl::start() {
    // The last thread may still be inside the send of its done message (a
    // restart from finish): it is kept aside and joined by the next start or by
    // stop. The one before it has returned from every send.
    if (thread_.joinable()) {
        if (ending_.joinable()) ending_.join();
        ending_ = std::move(thread_);
    }
    stop_.store(false, std::memory_order_relaxed);
    running_ = true;
    thread_ = std::thread([this] {
        const TableSet* tables = source_.prepare(stop_, [this](const std::string& line) {
            {
                std::lock_guard lock(mutex_);
                lines_.push_back(line);
            }
            platform_.sendMessage(msgStrongerTablesLine);
        });
        {
            std::lock_guard lock(mutex_);
            result_ = tables;
        }
        platform_.sendMessage(msgStrongerTablesDone);
    });
}

std::vector<std::string> StrongerTablesControl::takeLines() {
    std::lock_guard lock(mutex_);
    return std::exchange(lines_, {});
}

bool StrongerTablesControl::finish() {
    if (!running_) return tables_ != nullptr;
    // Its thread is still inside the send of this message: it is joined by the
    // next start or by stop, once it has returned.
    running_ = false;
    const bool stopped = stop_.load(std::memory_order_relaxed);
    {
        std::lock_guard lock(mutex_);
        tables_ = result_;
    }
    if (tables_ != nullptr) return true;
    if (restart_ && wanted_) {
        restart_ = false;
        start();
        return true;
    }
    if (!stopped) wanted_ = false;
    return stopped;
}

void StrongerTablesControl::stop() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
    if (ending_.joinable()) ending_.join();
    running_ = false;
}

// The dialog's side of the toggle.

void MainDialog::setStrongerTables(bool on) {
    if (!stronger_) return;
    if (!opened_) {
        // The command line's choice, for this run: the kept one is not read.
        stronger_->choose(on);
        strongerChosen_ = true;
        return;
    }
    settings_->setBool(settingKeys::strongerTables, on);
    const bool wasPreparing = stronger_->preparing();
    stronger_->setWanted(on);
    services_.useTables(stronger_->tables());
    if (!on) {
        showStrongerTablesLines({strongerTablesOffText});
    } else if (stronger_->tables() != nullptr) {
        showStrongerTablesLines(
            {std::string("Stronger tables on: solves use ") + stronger_->tables()->name()});
    } else if (!wasPreparing) {
        showStrongerTablesLines({strongerTablesWaitText});
    }
}

bool MainDialog::strongerTablesOn() const {
    return stronger_ && stronger_->wanted();
}

bool MainDialog::strongerTablesPreparing() const {
    return stronger_ && stronger_->preparing();
}

void MainDialog::onStrongerTablesMessage(int message) {
    std::vector<std::string> lines = stronger_->takeLines();
    if (message == msgStrongerTablesDone) {
        const bool ok = stronger_->finish();
        services_.useTables(stronger_->tables());
        if (stronger_->tables() != nullptr) {
            lines.push_back(std::string("Stronger tables ready: solves use ") +
                            stronger_->tables()->name());
        } else if (!ok) {
            lines.emplace_back(strongerTablesFailedText);
        }
    }
    if (!lines.empty()) showStrongerTablesLines(std::move(lines));
}

// The output box shows the last lines while no solve or playback owns it.
void MainDialog::showStrongerTablesLines(std::vector<std::string> lines) {
    constexpr std::size_t shownLines = 8;
    for (std::string& line : lines) strongerLines_.push_back(std::move(line));
    if (strongerLines_.size() > shownLines) {
        strongerLines_.erase(strongerLines_.begin(),
                             strongerLines_.end() - static_cast<std::ptrdiff_t>(shownLines));
    }
    if (busy()) return;
    // A solve's report stays, the newest lines below it.
    if (reportShown_) {
        const std::size_t below = std::min<std::size_t>(strongerLines_.size(), 2);
        std::string note;
        for (std::size_t i = strongerLines_.size() - below; i < strongerLines_.size(); ++i) {
            note += (note.empty() ? "" : "\r\n") + strongerLines_[i];
        }
        showOutputNote(note);
        return;
    }
    std::string text;
    for (const std::string& line : strongerLines_) text += line + "\r\n";
    platform_.setControlText(idOutput, text);
}

}  // namespace fifteen::ui
