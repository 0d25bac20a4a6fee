#pragma once

// The dialog's tools beyond its buttons: paste and copy, stepping through a
// solution, playback speed, keyboard play, the board's context menu and the live
// progress line. Reachable from keys, the context menu and text drops.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/goal.h"
#include "puzzle/move_text.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

// In the order of the context menu (actionTexts in ui/dialog_texts.h).
enum class Action : int {
    undo,  // the board before the last played move or board-replacing command
    redo,
    pastePosition,
    pasteBlankFirst,  // a toggle: paste and drop read positions written for 0 1 2 ... 15
    copyPosition,
    copySolution,
    stepForward,
    stepBack,
    toProblem,
    toGoal,
    faster,
    slower,
    showOptimalMoves,  // a toggle: the movable tiles marked optimal or +2
    checkMyMoves,
    strongerTables,  // a toggle: the solves use the 7+8 tables once they are ready
    about,           // the version, the git revision, the solver and the licence
};

// Timer periods of a slide, slowest first; the playback's own 10 ms is normal.
struct PlaybackSpeed {
    int periodMs;
    const char* name;
};
inline constexpr std::array<PlaybackSpeed, 4> playbackSpeeds = {{
    {40, "1/4"},
    {20, "1/2"},
    {10, "normal"},
    {5, "2x"},
}};
inline constexpr int normalSpeed = 2;
static_assert(playbackSpeeds[normalSpeed].periodMs == 10);

// The status line after a paste the parser refused: its message, cut to fit.
std::string pasteErrorText(const std::string& parserMessage);

// The tiles as numbers, then on a second line the same moves as the letters
// U, D, L, R of the command line's JSON report.
std::string solutionText(const Board& problem, const int32_t* solution, int32_t length);

// The tiles of moves played from start, or nullopt with error saying what is
// wrong: no moves, too many, or the first illegal one with its number.
// illegal, when given, is set to the index of the first illegal move, -1 if none.
std::optional<std::vector<int32_t>> playWrittenMoves(const Board& start,
                                                     const std::vector<WrittenMove>& moves,
                                                     std::string& error,
                                                     int32_t* illegal = nullptr);

}  // namespace fifteen::ui
