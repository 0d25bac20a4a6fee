#pragma once

// Check my moves: what the plot of a review shows, computed here so that the
// window system only draws it. Move m (0 = the start, 1..count after each move)
// has the optimal distance distanceAt(m); the ideal line falls by one a move
// from the start's length to the goal.

#include <cstdint>
#include <string>
#include <vector>

#include "search/move_analysis.h"

namespace fifteen::ui {

struct ReviewPlot {
    int32_t startLength = 0;
    std::vector<int32_t> distances;  // after each move
    std::vector<int32_t> lost;       // moves (from 1) after which the distance rose
    int32_t ended = 0;               // the distance after the last move
    int32_t top = 0;                 // the highest distance, the y axis' end
    std::string summary;             // the review's summary line
    std::string endNote;             // how far from the goal it ended; "" at the goal

    int32_t count() const { return static_cast<int32_t>(distances.size()); }
    int32_t distanceAt(int32_t move) const {
        return move == 0 ? startLength : distances[static_cast<size_t>(move - 1)];
    }
    // The ideal line: the optimal distance had every move been optimal.
    int32_t idealAt(int32_t move) const { return move >= startLength ? 0 : startLength - move; }
};

// The plot of a review with distances (solved).
ReviewPlot reviewPlot(const MoveReview& review);

}  // namespace fifteen::ui
