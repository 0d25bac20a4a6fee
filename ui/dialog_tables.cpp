// The dialog's tables: the three every solve needs, built at start-up, and the
// "Stronger tables" toggle with the output box lines of their preparation.

#include <algorithm>

#include "search/table_set.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace fifteen::ui {

namespace {

int readyMessage(PreparedTable table) {
    switch (table) {
        case PreparedTable::patternDbA:
            return msgPatternDbAReady;
        case PreparedTable::patternDbB:
            return msgPatternDbBReady;
        case PreparedTable::wdTable:
            break;
    }
    return msgWdTableReady;
}

}  // namespace

void MainDialog::startTables() {
    const bool started = services_.startPreparation([this](PreparedTable table, bool built) {
        // The failure is posted before the ready message, which then finds it.
        if (!built) platform_.post([this, table] { tables_.setBuildFailed(table); });
        platform_.sendMessage(readyMessage(table));
    });
    if (!started) {
        showPreparationFailure();
    }
    if (strongerTablesOn()) setStrongerTables(true);
}

void MainDialog::onTableReady(PreparedTable table) {
    if (tables_.buildFailed(table)) {
        showPreparationFailure();
        return;
    }
    tables_.setReady(table);
    showPreparationProgress();
    if (allReady()) {
        platform_.enableControl(idSolve, true);
        syncPlotAndMarks();
    }
}

void MainDialog::showPreparationFailure() {
    tables_.setFailed();
    status_.set(noMemoryStatus);
    output_.setText(noMemoryReport);
}

void MainDialog::showPreparationProgress() {
    if (tables_.failed()) {
        return;
    }
    if (allReady()) {
        // The stronger tables' lines, when they came meanwhile, stay.
        if (strongerLines_.empty()) {
            output_.setText("");
        } else {
            showStrongerTablesLines({});
        }
        return;
    }
    std::string text = buildingTablesHeading;
    for (const PreparedTable table :
         {PreparedTable::patternDbA, PreparedTable::patternDbB, PreparedTable::wdTable}) {
        text += tableMark(isReady(table));
        text += tableNames[static_cast<size_t>(table)];
        text += "\r\n";
    }
    output_.setText(text);
}

void MainDialog::setStrongerTables(bool on) {
    if (!stronger_) return;
    if (state_ == DialogState::opening) {
        // The command line's choice, for this run: the kept one is not read.
        stronger_->choose(on, true);
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

void MainDialog::onStrongerTablesLine(const std::string& line) {
    if (state_ == DialogState::closed) return;
    strongerProgressLast_ = false;
    showStrongerTablesLines({line});
}

// The build's line is rewritten in place, so the lines that say what is built
// and where stay in view; the status line has it in short while it is free (or
// shows only the start-up's text).
void MainDialog::onStrongerTablesProgress(const TablesProgress& progress) {
    if (state_ == DialogState::closed) return;
    const auto now = Play::Clock::now();
    if (!buildStarted_) buildStarted_ = now;
    const int64_t elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - *buildStarted_).count();
    if (strongerProgressLast_ && !strongerLines_.empty()) strongerLines_.pop_back();
    strongerProgressLast_ = true;
    const std::string& status = status_.text();
    if (status.empty() || status == startupStatus ||
        status.rfind(tablesProgressStatusPrefix, 0) == 0) {
        status_.set(tablesProgressStatus(progress, elapsed));
    }
    showStrongerTablesLines({tablesProgressLine(progress, elapsed)});
}

void MainDialog::onStrongerTablesDone() {
    if (state_ == DialogState::closed) return;
    strongerProgressLast_ = false;
    buildStarted_.reset();
    if (status_.text().rfind(tablesProgressStatusPrefix, 0) == 0) status_.set("");
    const bool ok = stronger_->finish();
    services_.useTables(stronger_->tables());
    if (stronger_->tables() != nullptr) {
        showStrongerTablesLines(
            {std::string("Stronger tables ready: solves use ") + stronger_->tables()->name()});
    } else if (!ok) {
        showStrongerTablesLines({strongerTablesFailedText});
    }
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
    if (output_.reportShown()) {
        const std::size_t below = std::min<std::size_t>(strongerLines_.size(), 2);
        std::string note;
        for (std::size_t i = strongerLines_.size() - below; i < strongerLines_.size(); ++i) {
            note += (note.empty() ? "" : "\r\n") + strongerLines_[i];
        }
        output_.setNote(note);
        return;
    }
    std::string text;
    for (const std::string& line : strongerLines_) text += line + "\r\n";
    output_.setText(text);
}

}  // namespace fifteen::ui
