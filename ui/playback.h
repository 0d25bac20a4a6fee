#pragma once

// Playback of a found solution on the shown board, one timer tick at a time: a
// tile takes one tick to start, seven ticks of 8 pixels to reach its cell centre
// and one tick to land, nine ticks per move.

#include <cstdint>
#include <string>

#include "puzzle/board.h"
#include "puzzle/moves.h"
#include "ui/board_view.h"
#include "ui/dialog_texts.h"
#include "ui/output_model.h"

namespace fifteen::ui {

inline constexpr int32_t playbackStepPixels = 8;

class Playback {
  public:
    enum class Tick {
        moved,     // a tile started, moved or landed
        stopped,   // the stop request ended the playback
        finished,  // every move has been shown
    };

    // The moves shown so far go to status.
    Playback(BoardView& view, StatusLine& status) : view_(view), status_(status) {}

    // One timer tick while tracing, over the first length entries of solution.
    Tick tick(const int32_t* solution, int32_t length);
    // After the pause: the problem back on the board, position 0, nothing in motion.
    void restore(const Board& problem);

    // Stepping by hand: starts the next move (forward) or the last one taken back
    // (not forward), sliding as in the playback; false when there is none.
    bool startStep(const int32_t* solution, int32_t length, bool forward);
    // One tick of a step's slide; true once the tile has landed.
    bool stepTick();
    // Puts a step's sliding tile into its cell at once.
    void finishStep();

    int32_t position = 0;  // index of the next move to start
    SlideDirection direction = SlideDirection::none;
    bool stopRequest = false;

  private:
    void land();
    void start(int32_t tile);
    void advance();

    BoardView& view_;
    StatusLine& status_;
    int32_t length_ = 0;
};

}  // namespace fifteen::ui
