#include "ui/review_plot.h"

#include <algorithm>

namespace fifteen::ui {

ReviewPlot reviewPlot(const MoveReview& review) {
    ReviewPlot plot;
    plot.startLength = review.startLength;
    plot.distances = review.distances;
    for (const int32_t move : lostMoves(review)) plot.lost.push_back(move + 1);
    plot.ended = plot.distanceAt(plot.count());
    plot.top = plot.startLength;
    for (const int32_t d : plot.distances) plot.top = std::max(plot.top, d);
    plot.summary = reviewSummary(review);
    if (plot.ended != 0) {
        plot.endNote = "Ended " + std::to_string(plot.ended) +
                       (plot.ended == 1 ? " move" : " moves") + " from the goal";
    }
    return plot;
}

}  // namespace fifteen::ui
