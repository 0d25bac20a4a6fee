#include "ui/play.h"

#include <cstdio>

#include "puzzle/moves.h"

namespace fifteen::ui {

void Play::move(const Board& before, int32_t tile, Clock::time_point now) {
    if (!active() || position() != before) {
        start_ = before;
        tiles_.clear();
        began_ = now;
    }
    tiles_.push_back(tile);
}

bool Play::takeBack() {
    if (tiles_.empty()) return false;
    tiles_.pop_back();
    return true;
}

Board Play::position() const {
    Board board = start_;
    for (const int32_t tile : tiles_) slideTile(board, tile);
    return board;
}

int32_t Play::seconds(Clock::time_point now) const {
    if (!active()) return 0;
    return static_cast<int32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(now - began_).count());
}

std::string playTime(int32_t seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    }
    return text;
}

std::string playStatus(int32_t moves) {
    return " Played " + std::to_string(moves) + (moves == 1 ? " move" : " moves");
}

std::string playSolvedStatus(int32_t moves, int32_t seconds) {
    return " Solved in " + std::to_string(moves) + (moves == 1 ? " move" : " moves") + " (" +
           playTime(seconds) + ")";
}

void BoardHistory::record(const Entry& before) {
    undo_.push_back(before);
    if (undo_.size() > capacity) undo_.pop_front();
    redo_.clear();
}

namespace {

// Takes the latest entry of from and keeps current in to, as the same kind of
// change, so that the other direction gives it back.
std::optional<BoardHistory::Entry> walk(std::deque<BoardHistory::Entry>& from,
                                        std::deque<BoardHistory::Entry>& to,
                                        const BoardHistory::Entry& current) {
    if (from.empty()) return std::nullopt;
    BoardHistory::Entry taken = from.back();
    from.pop_back();
    BoardHistory::Entry kept = current;
    kept.playedTile = taken.playedTile;
    to.push_back(kept);
    return taken;
}

}  // namespace

std::optional<BoardHistory::Entry> BoardHistory::undo(const Entry& current) {
    // A command that left the board as it was (Reset on the goal) is no step back.
    while (!undo_.empty() && undo_.back().board == current.board &&
           undo_.back().backwardCount == current.backwardCount) {
        undo_.pop_back();
    }
    return walk(undo_, redo_, current);
}

std::optional<BoardHistory::Entry> BoardHistory::redo(const Entry& current) {
    return walk(redo_, undo_, current);
}

}  // namespace fifteen::ui
