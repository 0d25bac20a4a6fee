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

std::optional<BoardHistory::Entry> BoardHistory::undo(const Entry& current) {
    // A command that left the board as it was (Reset on the goal) is no step back.
    while (!undo_.empty() && undo_.back().board == current.board &&
           undo_.back().backwardCount == current.backwardCount) {
        undo_.pop_back();
    }
    if (undo_.empty()) return std::nullopt;
    Entry back = undo_.back();
    undo_.pop_back();
    // Redo gives current back, as the same kind of change.
    Entry forward = current;
    forward.playedTile = back.playedTile;
    redo_.push_back(forward);
    return back;
}

std::optional<BoardHistory::Entry> BoardHistory::redo(const Entry& current) {
    if (redo_.empty()) return std::nullopt;
    Entry forward = redo_.back();
    redo_.pop_back();
    Entry back = current;
    back.playedTile = forward.playedTile;
    undo_.push_back(back);
    return forward;
}

}  // namespace fifteen::ui
