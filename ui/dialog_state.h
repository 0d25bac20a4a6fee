#pragma once

// What the dialog is doing, as one value: each is a legal state of the whole
// dialog, and the mode its buttons show (UiMode) follows from it.

#include <cstdint>

#include "search/preparation.h"
#include "ui/dialog_ids.h"

namespace fifteen::ui {

enum class DialogState {
    opening,     // before the dialog's initialisation
    idle,        // a problem is shown, nothing in progress
    backward,    // clicks and arrow keys slide tiles into the blank
    directDrag,  // tiles are dragged and swapped
    solving,     // the solve thread runs
    solved,      // a result is shown, the board at rest
    stepping,    // a result is shown, one step's tile sliding
    tracing,     // the solution is being played back
    pausing,     // played back to the end, the problem comes back after a pause
    closed,      // the dialog has been closed; nothing more happens
};

constexpr UiMode modeOf(DialogState state) {
    switch (state) {
        case DialogState::backward:
            return UiMode::backward;
        case DialogState::directDrag:
            return UiMode::directDrag;
        case DialogState::solving:
            return UiMode::solving;
        case DialogState::solved:
        case DialogState::stepping:
            return UiMode::solved;
        case DialogState::tracing:
        case DialogState::pausing:
            return UiMode::tracing;
        case DialogState::opening:
        case DialogState::idle:
        case DialogState::closed:
            break;
    }
    return UiMode::idle;
}

// The state a mode is entered in: at rest, nothing sliding or pausing.
constexpr DialogState stateOf(UiMode mode) {
    switch (mode) {
        case UiMode::backward:
            return DialogState::backward;
        case UiMode::directDrag:
            return DialogState::directDrag;
        case UiMode::solving:
            return DialogState::solving;
        case UiMode::solved:
            return DialogState::solved;
        case UiMode::tracing:
            return DialogState::tracing;
        case UiMode::idle:
            break;
    }
    return DialogState::idle;
}

// A job runs (a solve or the playback, its pause included): only Cancel works.
constexpr bool isBusy(DialogState state) {
    return state == DialogState::solving || state == DialogState::tracing ||
           state == DialogState::pausing;
}

static_assert(modeOf(stateOf(UiMode::tracing)) == UiMode::tracing);
static_assert(modeOf(DialogState::stepping) == UiMode::solved);

// The three tables every solve needs: each building until its thread reports,
// then ready; failed when one could not be built or the builds not started.
class TablesReadiness {
  public:
    // A build thread reported that its build failed; its ready message follows.
    void setBuildFailed(PreparedTable table) { buildFailed_[index(table)] = true; }
    bool buildFailed(PreparedTable table) const { return buildFailed_[index(table)]; }
    void setReady(PreparedTable table) { ready_[index(table)] = true; }
    // The failure is shown: Solve stays disabled for good.
    void setFailed() { failed_ = true; }
    bool isReady(PreparedTable table) const { return ready_[index(table)]; }
    bool allReady() const { return ready_[0] && ready_[1] && ready_[2]; }
    bool failed() const { return failed_; }

  private:
    static int index(PreparedTable table) { return static_cast<int>(table); }

    bool ready_[3] = {false, false, false};
    bool buildFailed_[3] = {false, false, false};
    bool failed_ = false;
};

}  // namespace fifteen::ui
