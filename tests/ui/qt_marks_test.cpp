// The optimal moves' marks as the board widget draws them, at
// the device pixel ratio the test runs with (CTest runs it at 1, 1.5 and 2): the
// marks lie on whole device pixels, a frame of a fixed device width with the
// tile's own artwork right beside it, not a one-to-one picture scaled up.

#include <QDialog>
#include <QTest>

#include <cmath>

#include "tests/ui/qt_test_fixtures.h"
#include "ui/board_view.h"
#include "ui/qt_platform.h"
#include "ui/startup.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

using testing::PaintingHandler;

}  // namespace

class QtMarksTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        platform = std::make_unique<QtPlatform>();
        platform->build(handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
    }
    void cleanup() { platform.reset(); }

    void marksLieOnWholeDevicePixels() {
        StatusLine status(*platform);
        BoardView view(*platform, status);
        QVERIFY(view.createSurfaces());
        const Rect rect = placeBoard(*platform).board;
        view.place(rect, Point{0, 0});
        view.putGoal();
        view.redraw();
        handler.paintHook = [&] { platform->invalidateBoard(rect, view.surface()); };
        const auto grab = [&] {
            platform->dialog()->update();
            return platform->dialog()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        const QImage plain = grab();
        BoardMarks marks;
        marks.cells[11] = TileMark::optimal;  // above the blank
        marks.cells[14] = TileMark::costly;   // left of it
        platform->setBoardMarks(marks);
        const QImage shot = grab();
        const double ratio = shot.devicePixelRatio();
        const auto device = [ratio](int pixels) {
            return static_cast<int>(std::lround(pixels * ratio));
        };
        const int side = device(64);
        const QPoint cell11(device(rect.left) + 3 * side, device(rect.top) + 2 * side);
        const QRgb green = shot.pixel(cell11 + QPoint(0, side / 2));
        QVERIFY((green & 0xFFFFFF) != (plain.pixel(cell11 + QPoint(0, side / 2)) & 0xFFFFFF));
        // The frame's left edge along the middle row: exactly as wide as asked in
        // device pixels, and the artwork untouched right after it.
        const int frame = std::max(2, device(3));
        const int y = cell11.y() + side / 2;
        for (int x = 0; x < frame; ++x) {
            QCOMPARE(shot.pixel(cell11.x() + x, y), green);
        }
        for (int x = frame; x < side / 3; ++x) {
            QCOMPARE(shot.pixel(cell11.x() + x, y), plain.pixel(cell11.x() + x, y));
        }

        // The frame all round and the whole corner, with no pixel missing where
        // they meet, in every cell the mark may stand in at this ratio.
        for (const int c : {0, 5, 10, 15, 6, 9}) {
            BoardMarks each;
            each.cells[static_cast<size_t>(c)] = TileMark::optimal;
            platform->setBoardMarks(each);
            const QImage framed = grab();
            const QPoint at(device(rect.left) + (c % 4) * side, device(rect.top) + (c / 4) * side);
            const int corner = side / 4;
            for (int dy = 0; dy < side; ++dy) {
                for (int dx = 0; dx < side; ++dx) {
                    const bool band =
                        dx < frame || dy < frame || dx >= side - frame || dy >= side - frame;
                    if (!band && dx + dy >= corner) continue;
                    QVERIFY2(framed.pixel(at + QPoint(dx, dy)) == green,
                             qPrintable(QStringLiteral("cell %1 at %2,%3").arg(c).arg(dx).arg(dy)));
                }
            }
        }
        platform->setBoardMarks(marks);

        // The +2 badge: in the top right corner of its cell, with white text.
        const QPoint cell14(device(rect.left) + 2 * side, device(rect.top) + 3 * side);
        int white = 0, changed = 0;
        for (int by = 0; by < side / 2; ++by) {
            for (int bx = side / 2; bx < side; ++bx) {
                const QPoint p = cell14 + QPoint(bx, by);
                if ((shot.pixel(p) & 0xFFFFFF) == 0xFFFFFF) ++white;
                if (shot.pixel(p) != plain.pixel(p)) ++changed;
            }
        }
        QVERIFY(white > 0);
        QVERIFY(changed > device(10) * device(10));
        // Taken away again.
        platform->setBoardMarks(BoardMarks{});
        QCOMPARE(grab(), plain);
    }

  private:
    PaintingHandler handler;
    std::unique_ptr<QtPlatform> platform;
};

QTEST_MAIN(QtMarksTest)
#include "qt_marks_test.moc"
