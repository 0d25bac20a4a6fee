#include "ui/stronger_tables_control.h"

#include <algorithm>
#include <cstdio>

#include "search/stronger_tables.h"
#include "search/table_set.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/play.h"

namespace fifteen::ui {

ProgramStrongerTables::ProgramStrongerTables() = default;
ProgramStrongerTables::~ProgramStrongerTables() = default;

int64_t timeLeftMs(double done, int64_t elapsedMs) {
    if (done < 0.01 || elapsedMs < 1000) return -1;
    if (done >= 1) return 0;
    return static_cast<int64_t>(static_cast<double>(elapsedMs) * (1 - done) / done + 0.5);
}

namespace {

// "12%" with ", about 1:40 left" once that can be told.
std::string percentAndLeft(const TablesProgress& progress, int64_t elapsedMs, const char* of) {
    const int percent = static_cast<int>(std::clamp(progress.done, 0.0, 1.0) * 100);
    std::string text = std::to_string(percent) + "%" + of;
    const int64_t left = timeLeftMs(progress.done, elapsedMs);
    if (left >= 0)
        text += ", about " + playTime(static_cast<int32_t>((left + 999) / 1000)) + " left";
    return text;
}

}  // namespace

std::string tablesProgressLine(const TablesProgress& progress, int64_t elapsedMs) {
    return "  group of " + std::to_string(progress.groupSize) + ": layer " +
           std::to_string(progress.layer) + ", " + percentAndLeft(progress, elapsedMs, " of all");
}

std::string tablesProgressStatus(const TablesProgress& progress, int64_t elapsedMs) {
    return tablesProgressStatusPrefix + percentAndLeft(progress, elapsedMs, "");
}

const TableSet* ProgramStrongerTables::prepare(const std::atomic<bool>& stop,
                                               const LineReport& report) {
    return prepare(stop, report, [&report](const TablesProgress& progress) {
        report(tablesProgressLine(progress, -1));
    });
}

const TableSet* ProgramStrongerTables::prepare(const std::atomic<bool>& stop,
                                               const LineReport& report,
                                               const ProgressReport& progress) {
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
    // The groups are built one after the other, the smaller first; a layer's
    // share is as its placements' share of all entries of both.
    const double all = static_cast<double>(groupEntryCount(7) + groupEntryCount(8));
    options.progress = [&](std::size_t table, int32_t depth, int64_t reached) {
        if (!announced) {
            report("Building them once (minutes) into " + path);
            announced = true;
        }
        const int32_t size = table == 0 ? 7 : 8;
        const int64_t before = table == 0 ? 0 : groupEntryCount(7);
        progress({size, depth, static_cast<double>(before + reached) / all});
    };
    report("Stronger tables: " + path);
    const TableCacheResult result = tables_->prepare(path, options);
    if (result == TableCacheResult::stopped) return nullptr;
    return tables_->tableSet();
}

StrongerTablesControl::StrongerTablesControl(Platform& platform, StrongerTablesSource& source,
                                             Handlers handlers)
    : platform_(platform), source_(source), handlers_(std::move(handlers)) {}

StrongerTablesControl::~StrongerTablesControl() {
    stop();
}

void StrongerTablesControl::choose(bool on, bool fromCommandLine) {
    if (chosenOnCommandLine_ && !fromCommandLine) return;
    wanted_ = on;
    chosenOnCommandLine_ = chosenOnCommandLine_ || fromCommandLine;
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
    // The last thread may still be returning from its done post (a restart from
    // finish): it is kept aside and joined by the next start or by stop. The one
    // before it has returned.
    if (thread_.joinable()) {
        if (ending_.joinable()) ending_.join();
        ending_ = std::move(thread_);
    }
    stop_.store(false, std::memory_order_relaxed);
    running_ = true;
    thread_ = std::thread([this] {
        const TableSet* tables = source_.prepare(
            stop_,
            [this](const std::string& line) {
                platform_.post([this, line] {
                    if (handlers_.line) handlers_.line(line);
                });
            },
            [this](const TablesProgress& progress) {
                platform_.post([this, progress] {
                    if (handlers_.progress) handlers_.progress(progress);
                });
            });
        platform_.post([this, tables] {
            result_ = tables;
            if (handlers_.done) handlers_.done();
        });
    });
}

bool StrongerTablesControl::finish() {
    if (!running_) return tables_ != nullptr;
    running_ = false;
    const bool stopped = stop_.load(std::memory_order_relaxed);
    tables_ = result_;
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

}  // namespace fifteen::ui
