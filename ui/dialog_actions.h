#pragma once

// The dialog's tools beyond its buttons: paste and copy, stepping through a
// solution, playback speed, keyboard play, the board's context menu and the live
// progress line. Reachable from keys, the context menu and text drops.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "puzzle/board.h"
#include "puzzle/goal.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

// In the order of the context menu (actionTexts in ui/dialog_texts.h).
enum class Action : int {
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
    strongerTables,  // a toggle: the solves use the 7+8 tables once they are ready
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

}  // namespace fifteen::ui
