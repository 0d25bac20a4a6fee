#pragma once

// The user's own play on the board: the moves from where it began, with their
// time; and the history that Undo and Redo walk, of played moves and of every
// command that replaced the board.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "puzzle/board.h"

namespace fifteen::ui {

// A play begins at the position shown at its first move and goes on while each
// move starts where the last one ended.
class Play {
  public:
    using Clock = std::chrono::steady_clock;

    // A move of tile from before (the board it was played on), at now. A board
    // that is not where the play stands begins a new play there.
    void move(const Board& before, int32_t tile, Clock::time_point now);
    // Takes the last move back (Undo); false when there is none.
    bool takeBack();
    // Ends the play (it is finished, or the board was replaced).
    void end() { tiles_.clear(); }

    bool active() const { return !tiles_.empty(); }
    const Board& start() const { return start_; }
    const std::vector<int32_t>& tiles() const { return tiles_; }
    int32_t count() const { return static_cast<int32_t>(tiles_.size()); }
    // Where the play stands: its start with its moves played.
    Board position() const;
    // Whole seconds since its first move.
    int32_t seconds(Clock::time_point now) const;

  private:
    Board start_{};
    std::vector<int32_t> tiles_;
    Clock::time_point began_{};
};

// " Played 12 moves   1:05": the status line while playing.
std::string playStatus(int32_t moves);
// "1:05" (minutes and seconds; hours ahead when there are any): the seconds line.
std::string playTime(int32_t seconds);
// " Solved in 12 moves (1:05)": the status line when a play reaches the goal.
std::string playSolvedStatus(int32_t moves, int32_t seconds);

// Undo and Redo: the boards before each recorded change, the latest last, at
// most capacity of them (the oldest go first). Each keeps the backward play's
// count, which its moves change with the board.
class BoardHistory {
  public:
    struct Entry {
        Board board{};
        int32_t backwardCount = 0;
        int32_t playedTile = 0;  // the change was a played move of this tile; 0: a command

        bool operator==(const Entry&) const = default;
    };
    static constexpr std::size_t capacity = 1000;

    // Before a change: the board as it was; what was undone can no longer be redone.
    void record(const Entry& before);
    // The entry to show instead of current, which Redo (or Undo) gives back.
    std::optional<Entry> undo(const Entry& current);
    std::optional<Entry> redo(const Entry& current);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoCount() const { return undo_.size(); }

  private:
    std::deque<Entry> undo_;
    std::deque<Entry> redo_;
};

}  // namespace fifteen::ui
