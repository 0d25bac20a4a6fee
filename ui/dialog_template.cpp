#include "ui/dialog_template.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "ui/board_view.h"
#include "ui/dialog_ids.h"

namespace fifteen::ui {

namespace {

constexpr ControlTemplate rows[] = {
    {idProblemGroup, ControlKind::groupBox, "Problem", 7, 0, 154, 26},
    {idEditGroup, ControlKind::groupBox, "", 165, 0, 46, 26},
    {idSolverGroup, ControlKind::groupBox, "Solver", 215, 0, 124, 26},
    {idShuffle, ControlKind::pushButton, "Shuffle", 11, 8, 48, 14},
    {idBackward, ControlKind::pushCheckBox, "Backward", 60, 8, 48, 14},
    {idDirectDrag, ControlKind::pushCheckBox, "DirectDrag", 109, 8, 48, 14},
    {idReset, ControlKind::pushButton, "Reset", 169, 8, 38, 14},
    {idSolve, ControlKind::pushButton, "Solve", 219, 8, 38, 14},
    {idCancel, ControlKind::pushButton, "Cancel", 258, 8, 38, 14},
    {idTrace, ControlKind::pushButton, "Trace", 297, 8, 38, 14},
    {idOutput, ControlKind::outputBox, "", 172, 35, 167, 162},
    {idSeparator, ControlKind::etchedLine, "", 7, 199, 331, 1},
    {idStatus, ControlKind::leftText, "Solver = WD + PDB + OpenMP", 8, 203, 254, 12},
    {idSeconds, ControlKind::rightText, "0 sec", 276, 203, 60, 12},
};

// The longest text the output box must show without cutting it: the four rows of
// the problem, three lines of result and eight lines of ten moves (an optimal
// solution has at most 80), none wider than 30 characters; two of each to spare.
constexpr int outputColumns = 32;
constexpr int outputLines = 17;
// The board needs this much room beside the output box and between the buttons'
// groups and the separator line.
constexpr int boardMargin = 4;

}  // namespace

std::span<const ControlTemplate> dialogTemplate() {
    return rows;
}

const ControlTemplate& templateRow(int controlId) {
    return *std::find_if(std::begin(rows), std::end(rows),
                         [controlId](const ControlTemplate& t) { return t.id == controlId; });
}

bool isButton(const ControlTemplate& row) {
    return row.kind == ControlKind::pushButton || row.kind == ControlKind::pushCheckBox;
}

const ControlTemplate& groupOf(const ControlTemplate& button) {
    for (const ControlTemplate& t : rows) {
        if (t.kind == ControlKind::groupBox && t.x <= button.x &&
            button.x + button.cx <= t.x + t.cx)
            return t;
    }
    return button;
}

DialogBaseUnits DialogBaseUnits::fromAlphabet(int alphabetWidth, int fontHeight) {
    return {(alphabetWidth / 26 + 1) / 2, fontHeight};
}

int DialogBaseUnits::toPixelsX(int du) const {
    return static_cast<int>(std::lround(du * x / 4.0));
}
int DialogBaseUnits::toPixelsY(int du) const {
    return static_cast<int>(std::lround(du * y / 8.0));
}

std::vector<RoomNeeded> roomNeeded(const TextMetrics& metrics) {
    const ControlTemplate& box = templateRow(idOutput);
    const ControlTemplate& group = templateRow(idProblemGroup);
    const ControlTemplate& line = templateRow(idSeparator);
    const int board = boardPixels + 2 * boardMargin;
    std::vector<RoomNeeded> room = {
        {false, box.cx,
         (metrics.outputWidth ? metrics.outputWidth(std::string(outputColumns, '0')) : 0) +
             metrics.outputPadding},
        {true, box.cy, outputLines * metrics.outputLineSpacing + metrics.outputPadding},
        // Left of the output box, and between the groups and the separator (less a
        // unit, as either edge may round away from the board).
        {false, box.x, board},
        {true, line.y - (group.y + group.cy) - 1, board},
    };
    for (const ControlTemplate& t : rows) {
        const int textWidth = metrics.width ? metrics.width(t.text) : 0;
        if (isButton(t)) {
            // A button starts below the middle of its group's title.
            room.push_back({true, t.y - groupOf(t).y, metrics.fontHeight / 2 + 2});
            room.push_back({false, t.cx, textWidth + metrics.buttonPadding});
            room.push_back({true, t.cy, metrics.fontHeight + metrics.buttonPadding / 2});
        } else if (t.kind == ControlKind::leftText || t.kind == ControlKind::rightText) {
            room.push_back({false, t.cx, textWidth});
            room.push_back({true, t.cy, metrics.fontHeight});
        }
    }
    return room;
}

DialogBaseUnits fittingUnits(DialogBaseUnits units, const std::vector<RoomNeeded>& room) {
    for (const RoomNeeded& r : room) {
        if (r.du <= 0) continue;
        if (r.vertical) {
            while (units.toPixelsY(r.du) < r.pixels) ++units.y;
        } else {
            while (units.toPixelsX(r.du) < r.pixels) ++units.x;
        }
    }
    return units;
}

}  // namespace fifteen::ui
