#pragma once

// Identifiers of the main dialog: its template, controls, custom messages and
// timers, and the modes the dialog runs in.

#include <cstdint>

namespace fifteen::ui {

inline constexpr int dialogTemplateId = 101;
inline constexpr int tileBitmapId = 104;

// Controls of the dialog template.
inline constexpr int idProblemGroup = 1001;
inline constexpr int idEditGroup = 1002;
inline constexpr int idSolverGroup = 1003;
inline constexpr int idShuffle = 1004;
inline constexpr int idBackward = 1005;    // push-like check box
inline constexpr int idDirectDrag = 1006;  // push-like check box
inline constexpr int idReset = 1007;
inline constexpr int idSolve = 1008;
inline constexpr int idCancel = 1009;
inline constexpr int idTrace = 1010;
inline constexpr int idOutput = 1011;     // multi-line, read-only output box
inline constexpr int idSeparator = 1012;  // etched horizontal line
inline constexpr int idStatus = 1013;     // status line, left-aligned
inline constexpr int idSeconds = 1014;    // seconds line, right-aligned

// The two push-like check boxes toggle their own check state when clicked, before
// the dialog sees the command.
inline constexpr bool isCheckBoxControl(int controlId) {
    return controlId == idBackward || controlId == idDirectDrag;
}

// Custom messages, sent from other threads with both parameters 0.
inline constexpr int msgPatternDbAReady = 0x7FFE;
inline constexpr int msgPatternDbBReady = 0x7FFF;
inline constexpr int msgWdTableReady = 0x8000;
inline constexpr int msgSolveFinished = 0x8001;
// The other threads (analyses, the stronger tables) hand their results over by
// Platform::post, which needs no message of its own.

// One timer serves the seconds counter while solving (1000 ms) and the playback
// (10 ms); the second one is the one-shot pause at the end of the playback.
inline constexpr int timerMain = 32770;
inline constexpr int timerPause = 32771;
// Timers of the added tools: a step's slide, the end of a brief speed note in
// the status line, and the live progress of a running search.
inline constexpr int timerStep = 32772;
inline constexpr int timerSpeedNote = 32773;
inline constexpr int timerProgress = 32774;
// The seconds of the user's own play, and of the optimal moves' work.
inline constexpr int timerPlay = 32775;
inline constexpr int timerMarks = 32776;
inline constexpr int speedNoteMs = 1500;
inline constexpr int progressPeriodMs = 250;
inline constexpr int secondsPeriodMs = 1000;
inline constexpr int tracePeriodMs = 10;
inline constexpr int pauseMs = 1500;

enum class UiMode : int32_t {
    idle = 0,        // a problem is shown, nothing in progress
    backward = 1,    // clicks slide tiles into the blank
    directDrag = 2,  // tiles are dragged and swapped
    solving = 3,     // the solve thread runs
    solved = 4,      // a result is shown
    tracing = 5,     // the solution is being played back
};

}  // namespace fifteen::ui
