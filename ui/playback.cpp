#include "ui/playback.h"

namespace fifteen::ui {

Playback::Tick Playback::tick(const int32_t* solution, int32_t length) {
    length_ = length;
    TileInMotion& motion = view_.motion;
    if (position >= length && motion.tile == 0) {
        return Tick::finished;
    }
    if (stopRequest) {
        stopRequest = false;
        if (motion.tile != 0) {
            land();
            view_.redraw();
        }
        return Tick::stopped;
    }
    if (motion.tile != 0) {
        const bool onCentre = (motion.x - cellPixels / 2) % cellPixels == 0 &&
                              (motion.y - cellPixels / 2) % cellPixels == 0;
        if (onCentre) {
            land();
        } else {
            advance();
        }
    } else {
        start(solution[position++]);
    }
    view_.redraw();
    return Tick::moved;
}

void Playback::land() {
    TileInMotion& motion = view_.motion;
    view_.board[static_cast<size_t>(motion.cell)] = motion.tile;
    direction = SlideDirection::none;
    motion.tile = 0;
    status_.set(movesText(position, length_));
}

void Playback::advance() {
    TileInMotion& motion = view_.motion;
    switch (direction) {
        case SlideDirection::up:
            motion.y -= playbackStepPixels;
            break;
        case SlideDirection::right:
            motion.x += playbackStepPixels;
            break;
        case SlideDirection::down:
            motion.y += playbackStepPixels;
            break;
        case SlideDirection::left:
            motion.x -= playbackStepPixels;
            break;
        case SlideDirection::none:
            break;
    }
}

void Playback::start(int32_t tile) {
    Board& board = view_.board;
    const int blank = blankCell(board);
    int source = -1;
    for (int i = 0; tile != 0 && i < 16; ++i) {
        if (board[static_cast<size_t>(i)] == tile) source = i;
    }
    if (blank < 0 || source < 0) {
        return;  // not a move of this board: nothing to show
    }
    TileInMotion& motion = view_.motion;
    board[static_cast<size_t>(source)] = 0;
    motion.tile = tile;
    motion.cell = blank;
    motion.x = cellPixels * (source % 4) + cellPixels / 2;
    motion.y = cellPixels * (source / 4) + cellPixels / 2;
    // A tile that is not next to the blank gets no direction and lands at once.
    direction = slideDirection(source, blank);
    advance();
}

bool Playback::startStep(const int32_t* solution, int32_t length, bool forward) {
    length_ = length;
    if (forward ? position >= length : position <= 0) {
        return false;
    }
    // Taken back, the last tile moved is next to the blank and slides back into it.
    start(forward ? solution[position++] : solution[--position]);
    view_.redraw();
    return true;
}

bool Playback::stepTick() {
    const TileInMotion& motion = view_.motion;
    if (motion.tile == 0) {
        return true;
    }
    if ((motion.x - cellPixels / 2) % cellPixels == 0 &&
        (motion.y - cellPixels / 2) % cellPixels == 0) {
        land();
        view_.redraw();
        return true;
    }
    advance();
    view_.redraw();
    return false;
}

void Playback::finishStep() {
    if (view_.motion.tile != 0) {
        land();
        view_.redraw();
    }
}

void Playback::restore(const Board& problem) {
    view_.board = problem;
    view_.motion = TileInMotion{};
    position = 0;
    direction = SlideDirection::none;
    view_.redraw();
}

}  // namespace fifteen::ui
