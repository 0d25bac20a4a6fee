#pragma once

// The texts that explain the dialog: the Help window (F1), the About window, and
// each control's shortcut, tooltip and accessible name. The shortcut table is the
// README's.

#include <array>

#include "ui/dialog_ids.h"

namespace fifteen::ui {

inline constexpr const char* helpTitle = "fifteen: keys and positions";
inline constexpr const char* aboutTitle = "About fifteen";

inline constexpr const char* helpText =
    "Keys\n"
    "\n"
    "Ctrl+V          paste a position (also by dropping text on the board)\n"
    "Ctrl+C          copy the position; in the output box: copy its selection\n"
    "Right / Left    step one move forward / back through the solution\n"
    "Home / End      back to the problem / show the goal\n"
    "+ / -           playback speed (four speeds)\n"
    "arrow keys      in Backward: slide the tile that can move that way\n"
    "Esc             stop a solve or playback (as Cancel); put a lifted tile\n"
    "                back; in the output box: give the arrows back to the board\n"
    "Return, Space   press the focused button\n"
    "H               Show optimal moves on or off: the tiles whose move keeps\n"
    "                the solution optimal framed green, the others marked +2\n"
    "T               Stronger tables on or off: the 7+8 tables, loaded or built\n"
    "                in the background (a file of 577 MB, built once)\n"
    "Alt+letter      press a button: Alt+S Shuffle, Alt+B Backward,\n"
    "                Alt+D DirectDrag, Alt+R Reset, Alt+O Solve, Alt+C Cancel,\n"
    "                Alt+T Trace\n"
    "Tab, Shift+Tab  the buttons, then the board, then the output box\n"
    "Menu, Shift+F10 the board's menu (also a right click): the above, Copy\n"
    "                solution, Paste: blank first, Show optimal moves,\n"
    "                Check my moves... (a plot of your own solution),\n"
    "                Stronger tables, About\n"
    "F1              this help\n"
    "\n"
    "Entering a position\n"
    "\n"
    "Copy a position from anywhere, click the board and press Ctrl+V, or drop\n"
    "the text on the board. It is read as fifteen-solve reads a line: 16\n"
    "numbers in reading order, the blank as 0, separated by spaces and/or\n"
    "commas, rows optionally separated by /, for example\n"
    "\n"
    "    5 10 14 7 / 8 3 6 1 / 15 0 12 9 / 2 11 4 13\n"
    "\n"
    "With Paste: blank first (the board's menu), positions are read as written\n"
    "for the goal 0 1 2 ... 15. Backward builds a position by sliding tiles\n"
    "from the goal; DirectDrag by dragging any tile onto any cell.\n"
    "\n"
    "The window can be made larger. Its size and place, the playback speed,\n"
    "Paste: blank first, Show optimal moves and Stronger tables are kept for\n"
    "the next run; fifteen --reset-settings forgets them.\n";

inline constexpr const char* licenceText =
    "MIT License. Copyright (c) 2026 The fifteen developers.\n"
    "Permission is granted, free of charge, to deal in the software without\n"
    "restriction; it is provided \"as is\", without warranty of any kind.\n"
    "See the LICENSE file for the full text.";

// A control's keyboard shortcut (Alt and the letter, one of its text's), what it
// does, and the name assistive tools read out.
struct ControlHelp {
    int id;
    char mnemonic;  // 0: none
    const char* name;
    const char* description;
};

inline constexpr std::array<ControlHelp, 13> controlHelp = {{
    {idShuffle, 'S', "Shuffle", "A random solvable position"},
    {idBackward, 'B', "Backward", "Play back from the goal: click tiles next to the blank"},
    {idDirectDrag, 'D', "DirectDrag", "Drag any tile onto any cell"},
    {idReset, 'R', "Reset", "Back to the goal, or to the problem of a solution"},
    {idSolve, 'O', "Solve", "Find an optimal solution of the board"},
    {idCancel, 'C', "Cancel", "Stop the solve or the playback (also Esc)"},
    {idTrace, 'T', "Trace", "Play the solution back on the board"},
    {idOutput, 0, "Output", "The problem and its optimal solution; the current move is marked"},
    {idStatus, 0, "Status", "What the dialog did last"},
    {idSeconds, 0, "Seconds", "How long the solve has run"},
    {idProblemGroup, 0, "Problem", "Set up the position to solve"},
    {idEditGroup, 0, "Edit", "Back to the goal or the problem"},
    {idSolverGroup, 0, "Solver", "Solve, stop, and play the solution back"},
}};

inline constexpr const char* boardName = "Board";
inline constexpr const char* boardToolTip =
    "Right / Left: step; Home / End: problem / goal; + / -: speed;\n"
    "Ctrl+C / Ctrl+V: copy / paste the position; Esc: stop;\n"
    "H: optimal moves; T: stronger tables; F1: help;\n"
    "Menu, Shift+F10 or right click: the board's menu";

}  // namespace fifteen::ui
