#include "ui/dialog_layout.h"

#include <algorithm>
#include <cmath>

#include "ui/board_view.h"

namespace fifteen::ui {

Size smallestClient(const DialogBaseUnits& units) {
    return {units.toPixelsX(dialogWidthDu), units.toPixelsY(dialogHeightDu)};
}

Rect DialogLayout::control(int controlId) const {
    for (const auto& [id, rect] : controls) {
        if (id == controlId) return rect;
    }
    return Rect{0, 0, 0, 0};
}

Rect DialogLayout::aboveOutput(int height) const {
    const Rect box = output();
    return Rect{box.left, box.top - height, box.right, box.top};
}

DialogLayout layOutDialog(const DialogBaseUnits& units, Size client) {
    const Size smallest = smallestClient(units);
    const int wider = std::max(0, client.width - smallest.width);
    const int taller = std::max(0, client.height - smallest.height);
    DialogLayout layout;
    // The board stays square: it grows by what both directions have to spare, in
    // steps of four pixels so that each cell grows by whole pixels.
    layout.growth = std::min(wider, taller) / 4 * 4;
    // The board keeps its top beside the output box's top, as in the template,
    // and grows right and down; the box grows at least as much both ways.
    layout.down = 0;
    for (const ControlTemplate& t : dialogTemplate()) {
        const int left = units.toPixelsX(t.x), top = units.toPixelsY(t.y);
        Rect r{left, top, left + units.toPixelsX(t.cx), top + units.toPixelsY(t.cy)};
        switch (t.id) {
            case idOutput:
                r = Rect{r.left + layout.growth, r.top, r.right + wider, r.bottom + taller};
                break;
            case idSeparator:
            case idStatus:
                r = Rect{r.left, r.top + taller, r.right + wider, r.bottom + taller};
                break;
            case idSeconds:
                r = Rect{r.left + wider, r.top + taller, r.right + wider, r.bottom + taller};
                break;
            default:
                break;  // the buttons' row stays where it is
        }
        layout.controls.emplace_back(t.id, r);
    }
    return layout;
}

Rect shownBoard(Rect board, int growth, int down) {
    return Rect{board.left, board.top + down, board.left + board.width() + growth,
                board.top + down + board.height() + growth};
}

Rect shownBoard(Rect board, const DialogLayout& layout) {
    return shownBoard(board, layout.growth, layout.down);
}

Point boardPointToLogic(Rect board, Rect shown, Point p) {
    if (shown.left == board.left && shown.top == board.top && shown.width() == board.width())
        return p;
    const double scale = double(board.width()) / shown.width();
    return {board.left + static_cast<int>(std::floor((p.x - shown.left) * scale)),
            board.top + static_cast<int>(std::floor((p.y - shown.top) * scale))};
}

Size keptWindowSize(Size kept, Size room, Size smallest) {
    return {std::max(std::min(kept.width, room.width), smallest.width),
            std::max(std::min(kept.height, room.height), smallest.height)};
}

Point titleBarPoint(Point keptTopLeft, int frameWidth) {
    return {keptTopLeft.x + frameWidth / 2, keptTopLeft.y + 8};
}

}  // namespace fifteen::ui
