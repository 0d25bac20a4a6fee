#pragma once

// The plot of Check my moves, in the output box's place: the optimal distance
// after each move against the ideal falling line, the moves that lost two
// marked, and the review's summary above. Drawn with QPainter in pixels, so Qt
// renders it at the screen's resolution.

#include <QWidget>

#include "ui/review_plot.h"

namespace fifteen::ui {

class PlotWidget : public QWidget {
  public:
    explicit PlotWidget(QWidget* parent);
    void setPlot(const ReviewPlot& plot);
    const ReviewPlot& plot() const { return plot_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ReviewPlot plot_;
};

}  // namespace fifteen::ui
