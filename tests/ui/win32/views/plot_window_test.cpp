// The review plot, read back from the dialog's window on the screen: drawn only
// inside the rectangle it was given (the distance line and the lost moves' marks
// in their colours among it), following a new rectangle, and gone when hidden.

#include "ui/win32/views/plot_window.h"
#include "tests/ui/win32/views/views_test_support.h"

using namespace fifteen::ui;
using namespace fifteen::ui::win32;
using namespace fifteen::ui::win32::testing;

namespace {

constexpr Color distanceColor = 0x1F5FC0;
constexpr Color lostColor = 0xC83C28;

ReviewPlot samplePlot() {
    ReviewPlot plot;
    plot.startLength = 12;
    plot.distances = {11, 10, 11, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 2};
    plot.lost = {3, 4, 16};
    plot.ended = 2;
    plot.top = 12;
    plot.summary = "16 moves, 3 of them lost two: 2 from the goal.";
    plot.endNote = "Ended 2 moves from the goal";
    return plot;
}

struct Counts {
    int outsideChanged = 0;
    int insideChanged = 0;
    int distance = 0;
    int lost = 0;
};

Counts compare(const Surface& before, const Surface& after, Rect where) {
    Counts counts;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < after.width; ++x) {
            const bool inside =
                x >= where.left && x < where.right && y >= where.top && y < where.bottom;
            const bool changed = after.at(x, y) != before.at(x, y);
            if (!inside) {
                counts.outsideChanged += changed;
                continue;
            }
            counts.insideChanged += changed;
            counts.distance += after.at(x, y) == distanceColor;
            counts.lost += after.at(x, y) == lostColor;
        }
    }
    return counts;
}

TEST(PlotWindow, PaintsOnlyInsideItsRectangleAndNothingOnceHidden) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HostWindow& host = HostWindow::get();
    {
        PlotWindow plot(host.hwnd());
        ASSERT_NE(plot.hwnd(), nullptr);
        EXPECT_FALSE(IsWindowVisible(plot.hwnd()));
        const Surface before = captureClient(host.hwnd());
        const ReviewPlot review = samplePlot();
        for (const Rect where : {Rect{40, 50, 440, 350}, Rect{300, 420, 900, 800}}) {
            plot.show(&review, where);
            EXPECT_TRUE(IsWindowVisible(plot.hwnd()));
            const Counts counts = compare(before, captureClient(host.hwnd()), where);
            EXPECT_EQ(counts.outsideChanged, 0);
            EXPECT_GT(counts.insideChanged, where.width() * where.height() / 50);
            EXPECT_GT(counts.distance, where.width() / 2);  // the line, two pixels wide
            EXPECT_GT(counts.lost, 3 * 9);                  // three marks and the end note
        }
        plot.show(nullptr, Rect{});
        EXPECT_FALSE(IsWindowVisible(plot.hwnd()));
        const Counts hidden = compare(before, captureClient(host.hwnd()), Rect{});
        EXPECT_EQ(hidden.outsideChanged, 0);
    }
    OleUninitialize();
}

// A plot that ended at the goal has no end note and lost nothing: no mark of
// the lost moves' colour anywhere.
TEST(PlotWindow, APerfectPlayShowsNoLostMarks) {
    HostWindow& host = HostWindow::get();
    PlotWindow plot(host.hwnd());
    ReviewPlot review;
    review.startLength = 4;
    review.distances = {3, 2, 1, 0};
    review.top = 4;
    review.summary = "4 moves, all optimal.";
    const Rect where{40, 50, 440, 350};
    const Surface before = captureClient(host.hwnd());
    plot.show(&review, where);
    const Counts counts = compare(before, captureClient(host.hwnd()), where);
    EXPECT_EQ(counts.outsideChanged, 0);
    EXPECT_GT(counts.distance, 100);
    EXPECT_EQ(counts.lost, 0);
}

}  // namespace
