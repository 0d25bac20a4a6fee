#pragma once

// The plot of Check my moves in the output box's place: the optimal distance
// after each move against the ideal falling line, the moves that lost two
// marked, and the review's summary above, drawn with GDI in the dialog's font.

#include <windows.h>

#include "ui/platform.h"
#include "ui/review_plot.h"

namespace fifteen::ui::win32 {

class PlotWindow {  // the review plot, in the output box's place
  public:
    // A hidden child window of dialog.
    explicit PlotWindow(HWND dialog);
    ~PlotWindow();
    PlotWindow(const PlotWindow&) = delete;
    PlotWindow& operator=(const PlotWindow&) = delete;
    HWND hwnd() const { return hwnd_; }
    // Shows a copy of plot at where (dialog client coordinates), above the output
    // box; nullptr hides it.
    void show(const ReviewPlot* plot, Rect where);

  private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc) const;

    HWND dialog_;
    HWND hwnd_ = nullptr;
    ReviewPlot plot_;
};

}  // namespace fifteen::ui::win32
