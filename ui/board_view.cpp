#include "ui/board_view.h"

#include <utility>

#include "puzzle/moves.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

namespace {

size_t at(int cell) {
    return static_cast<size_t>(cell);
}

}  // namespace

// The rectangle test includes its edges, which would otherwise map to column or
// row 4.
int boardCellAt(Point p) {
    if (p.x < 0 || p.y < 0 || p.x >= boardPixels || p.y >= boardPixels) {
        return -1;
    }
    return p.x / cellPixels + 4 * (p.y / cellPixels);
}

int cellSlidingInto(const Board& board, int dColumn, int dRow) {
    const int blank = blankCell(board);
    if (blank < 0) return -1;
    const int column = blank % 4 - dColumn;
    const int row = blank / 4 - dRow;
    return column >= 0 && column < 4 && row >= 0 && row < 4 ? column + 4 * row : -1;
}

std::string boardDescription(const Board& board) {
    std::string text;
    for (int cell = 0; cell < 16; ++cell) {
        const int32_t tile = board[at(cell)];
        text += tile == 0 ? std::string("blank") : std::to_string(tile);
        text += cell % 4 == 3 ? (cell < 15 ? "\n" : "") : " ";
    }
    return text;
}

bool BoardView::createSurfaces() {
    tiles_.resize(boardPixels, boardPixels);
    surface_.resize(boardPixels, boardPixels);
    const bool loaded = platform_.loadTileArtwork(tiles_);
    if (tiles_.width != boardPixels || tiles_.height != boardPixels) {
        tiles_.resize(boardPixels, boardPixels);
    }
    fillRect(tiles_, Rect{0, 0, cellPixels, cellPixels}, platform_.buttonFaceColor());
    return loaded;
}

void BoardView::releaseSurfaces() {
    tiles_ = Surface{};
    surface_ = Surface{};
}

void BoardView::place(Rect boardRect, Point clipOffset) {
    rect_ = boardRect;
    clipOffset_ = clipOffset;
}

Rect BoardView::dragClip() const {
    const Rect window = platform_.windowRect();
    const int left = window.left + clipOffset_.x;
    const int top = window.top + clipOffset_.y;
    const int side = boardPixels - 2 * dragClipInset;
    return Rect{left, top, left + side, top + side};
}

void BoardView::putGoal() {
    board = goalBoard;
    motion = TileInMotion{};
}

void BoardView::drawTile(int32_t tile, int x, int y) {
    tileList_.sprites[static_cast<size_t>(tileList_.count++)] = TileSprite{tile, x, y};
    copyBlock(surface_, x, y, tiles_, cellPixels * (tile % 4), cellPixels * (tile / 4), cellPixels,
              cellPixels);
}

void BoardView::compose() {
    if (surface_.width == 0) {
        return;  // released on close
    }
    tileList_.count = 0;
    for (int i = 0; i < 16; ++i) {
        drawTile(board[at(i)], cellPixels * (i % 4), cellPixels * (i / 4));
    }
    if (motion.tile != 0) {
        drawTile(motion.tile, motion.x - cellPixels / 2, motion.y - cellPixels / 2);
    }
    platform_.setBoardTiles(tileList_);
}

void BoardView::redraw() {
    compose();
    platform_.invalidateBoard(rect_, surface_);
    std::string description = boardDescription(settledBoard());
    if (description != description_) {
        description_ = std::move(description);
        platform_.setBoardDescription(description_);
    }
}

void BoardView::onMouse(UiMode mode, MouseEvent event, Point p) {
    pointer = p;
    if (mode == UiMode::directDrag && motion.tile != 0) {
        motion.x = p.x;
        motion.y = p.y;
    }
    if (event == MouseEvent::move) {
        if (mode == UiMode::directDrag && motion.tile != 0) {
            redraw();
        }
        return;
    }
    int cell = boardCellAt(p);
    if (event == MouseEvent::leftDown) {
        if (cell < 0) {
            return;
        }
        if (mode == UiMode::backward) {
            backwardClick(cell);
        } else if (mode == UiMode::directDrag) {
            lift(cell);
        }
        return;
    }
    if (mode == UiMode::directDrag && motion.tile != 0) {
        // Released off the cells (the right and bottom edges, or outside), the
        // drag is called off.
        if (cell >= 0) {
            drop(cell);
        } else {
            cancelDrag();
        }
    }
}

void BoardView::backwardClick(int cell) {
    // The blank and a tile away from it stay where they are.
    if (backwardCount == maxBackwardMoves ||
        slideTile(board, board[at(cell)]) == SlideDirection::none) {
        return;
    }
    ++backwardCount;
    status_.set(backwardText(backwardCount));
    redraw();
}

void BoardView::slideIntoBlank(int dColumn, int dRow) {
    const int cell = cellSlidingInto(board, dColumn, dRow);
    if (cell >= 0) {
        backwardClick(cell);
    }
}

bool BoardView::cancelDrag() {
    if (motion.tile == 0) {
        return false;
    }
    board[at(motion.cell)] = motion.tile;
    motion.tile = 0;
    redraw();
    platform_.releaseCursor();
    return true;
}

Board BoardView::settledBoard() const {
    Board settled = board;
    if (motion.tile != 0) {
        settled[at(motion.cell)] = motion.tile;
    }
    return settled;
}

void BoardView::lift(int cell) {
    if (motion.tile != 0) {
        // A button-up that never arrived: put the earlier tile back first.
        board[at(motion.cell)] = motion.tile;
        motion.tile = 0;
    }
    motion.cell = cell;
    motion.tile = board[at(cell)];
    motion.x = pointer.x;
    motion.y = pointer.y;
    if (motion.tile != 0) {
        board[at(cell)] = 0;
        redraw();
    }
}

void BoardView::drop(int cell) {
    const int32_t tile = motion.tile;
    motion.tile = 0;
    board[at(motion.cell)] = board[at(cell)];
    board[at(cell)] = tile;
    redraw();
    platform_.releaseCursor();
}

}  // namespace fifteen::ui
