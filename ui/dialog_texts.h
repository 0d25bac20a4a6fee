#pragma once

// The texts the dialog shows, byte for byte as the program has always shown them
// (spellings included), in one place.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "search/preparation.h"

namespace fifteen::ui {

// Status line.
inline constexpr const char* startupStatus = "Solver = WD + PDB + OpenMP";
inline constexpr const char* noMemoryStatus = "No memory for the tables";
inline constexpr const char* shuffleStatus = "Shuffle";
inline constexpr const char* directDragStatus = "DirctDrag";
inline constexpr const char* pastedStatus = " Pasted position";
inline constexpr const char* pastedBlankFirstStatus = " Pasted position, turned from blank first";
inline constexpr const char* pastePrefix = " Paste: ";
inline constexpr const char* speedPrefix = " Speed: ";

// " Backward N moves": backward play's count.
inline std::string backwardText(int32_t moves) {
    char text[32];
    std::snprintf(text, sizeof text, " Backward %d moves", moves);
    return text;
}

// Seconds line before a solve has counted (a solve counts in formatSeconds' form).
inline constexpr const char* zeroSecondsText = "0 sec";

// Output box: the start-up's failure, or its list of the tables being built (a
// line a table, marked when it is ready).
inline constexpr const char* noMemoryReport =
    "The solver's tables could not be allocated.\r\nSolve stays disabled.\r\n";
inline constexpr const char* buildingTablesHeading = "Building the solver's tables:\r\n";
inline const char* tableMark(bool ready) {
    return ready ? "  [x] " : "  [ ] ";
}
// Between a report and a paste's error message below it.
inline constexpr const char* outputSeparator = "------------------------------";
// Above a report that no longer belongs to the shown board.
inline constexpr const char* staleReportNote = "Board changed since this report";
// Under the report of an unsolvable board.
inline constexpr const char* unsolvableHint =
    "The tiles' parity and the blank's row do not match the goal's: swap any two tiles.";

// " %2d / %2d moves": moves of the solution played so far and its length.
inline std::string movesText(int32_t position, int32_t length) {
    char text[32];
    std::snprintf(text, sizeof text, " %2d / %2d moves", position, length);
    return text;
}

// The board's context menu, one entry an action in the order of Action.
struct MenuText {
    const char* label;
    const char* shortcut;
};
inline constexpr std::array<MenuText, 16> actionTexts = {{
    {"Undo", "Ctrl+Z"},
    {"Redo", "Ctrl+Y"},
    {"Paste position", "Ctrl+V"},
    {"Paste: blank first", ""},
    {"Copy position", "Ctrl+C"},
    {"Copy solution", ""},
    {"Step forward", "Right"},
    {"Step back", "Left"},
    {"Back to the problem", "Home"},
    {"Show the goal", "End"},
    {"Faster", "+"},
    {"Slower", "-"},
    {"Show optimal moves", "H"},
    {"Check my moves...", ""},
    {"Stronger tables", "T"},
    {"About", ""},
}};
// The menu's groups: a separator goes above each of these entries (by index).
inline constexpr std::array<std::size_t, 4> menuGroupStarts = {2, 6, 12, 15};

// The status line while the optimal moves' marks are worked out, with the
// seconds it has taken once they are long.
inline std::string workingOnMarksText(int32_t seconds) {
    std::string text = " Working out the optimal moves...";
    if (seconds >= 2) {
        text += ' ';
        text += std::to_string(seconds);
        text += " s";
    }
    return text;
}

// Play: the status line while the user plays and when a play reaches the goal,
// and the output box's heading of its review.
inline constexpr const char* playedHeading = "Your play from where it began:\r\n";

// Check my moves: the input, the status line while the review runs, and what
// is shown of it.
inline constexpr const char* checkMovesTitle = "Check my moves";
inline constexpr const char* checkMovesLabel =
    "Your moves from the shown position (tile numbers or U D L R):";
inline constexpr const char* checkingMovesStatus = " Checking your moves...";
inline constexpr const char* checkMovesPrefix = " Check my moves: ";
inline constexpr const char* checkUnsolvableText = "the position is unsolvable";
inline constexpr const char* checkedMovesHeading = "Your moves from the shown position:\r\n";

// Output box lines of the "Stronger tables" toggle (the tables' own lines, the
// build's progress, come between them).
inline constexpr const char* strongerTablesOffText =
    "Stronger tables off: solves use the default tables";
inline constexpr const char* strongerTablesFailedText =
    "Stronger tables failed: solves stay on the default tables";
inline constexpr const char* strongerTablesWaitText =
    "Solve uses the default tables until they are ready";

}  // namespace fifteen::ui
