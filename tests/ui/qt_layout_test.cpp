// The dialog at the device pixel ratio and font size the test runs with (CTest
// runs it at 1, 1.5 and 2 device pixels per pixel, and with a large and a small
// font): every control inside the window and inside its group with room for its
// text, the longest report uncut, the board clear of the controls and its tiles
// drawn from artwork of the screen's resolution.

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>
#include <functional>
#include <random>
#include <span>

#include "search/report.h"
#include "tests/ui/qt_test_fixtures.h"
#include "ui/board_view.h"
#include "ui/qt/dialog_fonts.h"
#include "ui/qt_platform.h"
#include "ui/review_plot.h"
#include "ui/startup.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

using testing::PaintingHandler;

QRect geometryOf(const QtPlatform& platform, int id) {
    return platform.control(id)->geometry();
}

QRect toQRect(Rect r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

double devicePixelRatio(const QtPlatform& platform) {
    return platform.dialog()->devicePixelRatioF();
}

}  // namespace

class QtLayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        platform = std::make_unique<QtPlatform>();
        platform->build(handler);
        platform->setMonospaceFont(idOutput);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
    }
    void cleanup() {
        platform.reset();
        handler.paintHook = nullptr;  // it may refer to a finished test's frame
    }

    // Over the template the dialog is built from: every control inside the window,
    // each button inside the frame of exactly one group box, and no two controls
    // overlapping but a group box and its buttons.
    void everyControlLiesInsideTheWindowAndButtonsInsideTheirGroup() {
        const QRect client(QPoint(0, 0), platform->dialog()->size());
        const std::span<const ControlTemplate> rows = dialogTemplate();
        for (const ControlTemplate& t : rows) {
            const QString where = QString::number(t.id);
            QVERIFY2(client.contains(geometryOf(*platform, t.id)), qPrintable(where));
            if (!isButton(t)) continue;
            int groups = 0;
            for (const ControlTemplate& g : rows) {
                if (g.kind != ControlKind::groupBox) continue;
                // Inside the etched frame, which starts at the middle of the title.
                const int titleMiddle = QFontMetrics(platform->control(g.id)->font()).height() / 2;
                const QRect inside =
                    geometryOf(*platform, g.id).adjusted(2, titleMiddle + 2, -2, -2);
                if (inside.contains(geometryOf(*platform, t.id))) ++groups;
            }
            QVERIFY2(groups == 1, qPrintable(where));
        }
        for (const ControlTemplate& a : rows) {
            for (const ControlTemplate& b : rows) {
                const bool groupAndButton = (a.kind == ControlKind::groupBox && isButton(b)) ||
                                            (b.kind == ControlKind::groupBox && isButton(a));
                if (a.id < b.id && !groupAndButton) {
                    QVERIFY2(!geometryOf(*platform, a.id).intersects(geometryOf(*platform, b.id)),
                             qPrintable(QStringLiteral("%1 %2").arg(a.id).arg(b.id)));
                }
            }
        }
    }

    void everyTextHasRoomInItsControl() {
        // The units the dialog is laid out in give every length the room it needs.
        const DialogBaseUnits units = platform->baseUnits();
        for (const RoomNeeded& r : roomNeeded(platform->dialog()->font())) {
            const int pixels = r.vertical ? units.toPixelsY(r.du) : units.toPixelsX(r.du);
            QVERIFY2(pixels >= r.pixels, qPrintable(QStringLiteral("%1 du").arg(r.du)));
        }
        for (const ControlTemplate& t : dialogTemplate()) {
            if (!isButton(t)) continue;
            auto* button = qobject_cast<QPushButton*>(platform->control(t.id));
            const QFontMetrics metrics(button->font());
            const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin);
            QVERIFY2(metrics.horizontalAdvance(button->text()) + 2 * margin <= button->width(),
                     qPrintable(button->text()));
            QVERIFY2(metrics.height() + 4 <= button->height(), qPrintable(button->text()));
        }
        // The longest texts these lines show.
        platform->setControlText(idStatus, " WD=70, PDB=58, Threads=1000/1000");
        platform->setControlText(idSeconds, "99999 sec");
        for (int id : {idStatus, idSeconds}) {
            auto* label = qobject_cast<QLabel*>(platform->control(id));
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
            QVERIFY2(label->sizeHint().height() <= label->height(), qPrintable(label->text()));
        }
    }

    void theLongestReportFitsTheOutputBoxUncut() {
        Board problem{};
        for (size_t i = 0; i < problem.size(); ++i) problem[i] = static_cast<int32_t>(15 - i);
        const std::vector<int32_t> moves(80, 15);
        ReportText report;
        appendProblem(report, problem);
        appendSolution(report, 80, moves.data(), ElapsedTime{9999, 99});
        platform->setControlText(idOutput, report.c_str());
        auto* edit = qobject_cast<QPlainTextEdit*>(platform->control(idOutput));
        QCOMPARE(edit->document()->blockCount(), 15);
        QTRY_VERIFY(edit->document()->lastBlock().layout()->lineCount() > 0);
        for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next()) {
            QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));  // not wrapped
        }
        QTextCursor end(edit->document());
        end.movePosition(QTextCursor::End);
        QVERIFY2(edit->cursorRect(end).bottom() < edit->viewport()->height(),
                 qPrintable(QString::number(edit->cursorRect(end).bottom())));
    }

    // The plot stands in the output box's place, also after the window grows or
    // shrinks; so does the stale note above it.
    void thePlotAndTheStaleNoteFollowTheOutputBoxOnResize() {
        ReviewPlot plot;
        plot.startLength = 2;
        plot.distances = {1, 0};
        plot.top = 2;
        platform->showReviewPlot(&plot);
        platform->setOutputStale("stale", 0);
        const QSize smallest = platform->dialog()->minimumSize();
        for (const QSize size : {smallest + QSize(200, 120), smallest + QSize(40, 300), smallest}) {
            platform->dialog()->resize(size);
            QTRY_COMPARE(platform->dialog()->size(), size);
            const QRect box = geometryOf(*platform, idOutput);
            QCOMPARE(platform->plotWidget()->geometry(), box);
            const QWidget* note = platform->staleNote();
            QCOMPARE(note->geometry().bottom() + 1, box.top());
            QCOMPARE(note->geometry().left(), box.left());
            QCOMPARE(note->geometry().width(), box.width());
        }
    }

    void theBoardLiesClearOfTheControls() {
        const QRect board = toQRect(placeBoard(*platform).board);
        QCOMPARE(board.size(), QSize(256, 256));
        QVERIFY(QRect(QPoint(0, 0), platform->dialog()->size()).contains(board));
        for (int id :
             {idProblemGroup, idEditGroup, idSolverGroup, idOutput, idSeparator, idStatus}) {
            QVERIFY2(!geometryOf(*platform, id).intersects(board), qPrintable(QString::number(id)));
        }
    }

    // Each tile in the window, at its device pixels, is the artwork drawn for this
    // ratio, not the one-to-one surface scaled up; what else the surface shows (a
    // mark here) shows too.
    void tilesAreDrawnFromArtworkOfTheDeviceRatio() {
        const double ratio = devicePixelRatio(*platform);
        const int side = static_cast<int>(std::lround(64 * ratio));
        const char* name = side == 64   ? ":/tiles.png"
                           : side == 96 ? ":/tiles@1.5x.png"
                                        : ":/tiles@2x.png";
        if (side != 64 && side != 96 && side != 128) QSKIP("no artwork drawn for this ratio");
        const QImage art = QImage(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(art.width(), 4 * side);

        StatusLine status(*platform);
        BoardView view(*platform, status);
        QVERIFY(view.createSurfaces());
        const Rect rect = placeBoard(*platform).board;
        view.place(rect, Point{0, 0});
        std::mt19937 random(static_cast<uint32_t>(side));
        std::shuffle(view.board.begin(), view.board.end(), random);
        const int lifted = 5;
        view.motion = TileInMotion{view.board[lifted], lifted, 64 * 2 + 32 + 13, 64 * 3 + 32 - 21};
        view.board[lifted] = 0;
        view.redraw();
        Surface marked = view.surface();
        fillRect(marked, Rect{8, 8, 16, 16}, 0xFF0000);  // in cell 0
        handler.paintHook = [&] { platform->invalidateBoard(rect, marked); };
        platform->dialog()->update();
        const QImage shot =
            platform->dialog()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint origin(static_cast<int>(std::lround(rect.left * ratio)),
                            static_cast<int>(std::lround(rect.top * ratio)));
        const QColor blank = QColor::fromRgb(platform->buttonFaceColor());
        const auto expectTile = [&](int32_t tile, QPoint at) {
            int wrong = 0;
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    const QRgb want = tile == 0
                                          ? blank.rgb()
                                          : art.pixel(side * (tile % 4) + x, side * (tile / 4) + y);
                    if ((shot.pixel(at.x() + x, at.y() + y) ^ want) & 0xFFFFFFu) ++wrong;
                }
            }
            return wrong;
        };
        // The cells the lifted tile and the mark do not touch.
        for (int cell : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) {
            const QPoint at = origin + QPoint(side * (cell % 4), side * (cell / 4));
            QVERIFY2(expectTile(view.board[static_cast<size_t>(cell)], at) == 0,
                     qPrintable(QStringLiteral("cell %1").arg(cell)));
        }
        const QPoint moving =
            origin + QPoint(static_cast<int>(std::lround((view.motion.x - 32) * ratio)),
                            static_cast<int>(std::lround((view.motion.y - 32) * ratio)));
        QCOMPARE(expectTile(view.motion.tile, moving), 0);
        const QPoint mark =
            origin + QPoint(static_cast<int>(12 * ratio), static_cast<int>(12 * ratio));
        QCOMPARE(shot.pixel(mark) & 0xFFFFFFu, 0xFF0000u);
    }

    // With the board focused, dotted marks in the text colour run around it at the
    // device pixel ratio of the run (CTest runs this at 1, 1.5 and 2), also where the
    // tiles are drawn from artwork of that ratio; with the focus elsewhere, none.
    void focusMarksSurroundTheFocusedBoardAtThisRatio() {
        StatusLine status(*platform);
        BoardView view(*platform, status);
        QVERIFY(view.createSurfaces());
        const Rect rect = placeBoard(*platform).board;
        view.place(rect, Point{0, 0});
        view.putGoal();
        view.redraw();
        platform->dialog()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(platform->dialog()));
        const QRgb ink = platform->dialog()->palette().color(QPalette::WindowText).rgb();
        // Pixels of the text colour within 4 pixels outside the board, in device pixels.
        const auto marks = [&] {
            const QImage shot =
                platform->dialog()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const double ratio = shot.devicePixelRatio();
            const auto device = [ratio](int pixels) {
                return static_cast<int>(std::lround(pixels * ratio));
            };
            const QRect outer(QPoint(device(rect.left - 4), device(rect.top - 4)),
                              QPoint(device(rect.right + 4) - 1, device(rect.bottom + 4) - 1));
            const QRect inner(QPoint(device(rect.left), device(rect.top)),
                              QPoint(device(rect.right) - 1, device(rect.bottom) - 1));
            int count = 0;
            for (int y = outer.top(); y <= outer.bottom(); ++y) {
                for (int x = outer.left(); x <= outer.right(); ++x) {
                    if (!inner.contains(x, y) && ((shot.pixel(x, y) ^ ink) & 0xFFFFFFu) == 0)
                        ++count;
                }
            }
            return count;
        };
        platform->setFocus(focusBoard);
        QCOMPARE(platform->focusedControl(), focusBoard);
        const int focused = marks();
        platform->setFocus(idShuffle);
        QCOMPARE(platform->focusedControl(), idShuffle);
        const int unfocused = marks();
        const double ratio = devicePixelRatio(*platform);
        // Dotted: at least a quarter of the marks' perimeter.
        const int perimeter = 2 * (rect.width() + rect.height() + 10);
        QVERIFY2(focused >= perimeter * ratio / 4,
                 qPrintable(QStringLiteral("%1 at ratio %2").arg(focused).arg(ratio)));
        QCOMPARE(unfocused, 0);
    }

    // The artwork for 1.5, 2 and 3 device pixels per pixel holds the same tiles as
    // the one-to-one artwork, drawn anew at that size rather than scaled up.
    void artworkAtEachRatioHoldsTheSameTilesDrawnAnew() {
        const QImage one =
            QImage(QStringLiteral(":/tiles.png")).convertToFormat(QImage::Format_RGB32);
        for (const auto& [name, ratio] :
             {std::pair{":/tiles@1.5x.png", 1.5}, std::pair{":/tiles@2x.png", 2.0},
              std::pair{":/tiles@3x.png", 3.0}}) {
            const QImage art =
                QImage(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(art.width(), static_cast<int>(256 * ratio));
            QCOMPARE(art.height(), static_cast<int>(256 * ratio));
            const QImage down =
                art.scaled(256, 256, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const QImage up = one.scaled(art.size());  // nearest neighbour
            long difference = 0, redrawn = 0;
            for (int y = 0; y < 256; ++y) {
                for (int x = 0; x < 256; ++x) {
                    difference += std::abs(qGray(down.pixel(x, y)) - qGray(one.pixel(x, y)));
                }
            }
            for (int y = 0; y < art.height(); ++y) {
                for (int x = 0; x < art.width(); ++x) redrawn += art.pixel(x, y) != up.pixel(x, y);
            }
            // Close to the original on average (edges and glyphs move by a pixel)...
            QVERIFY2(difference < 256 * 256 * 12, qPrintable(QString::number(difference)));
            // ...but not a copy blown up: the numbers' and bevels' edges are new.
            QVERIFY2(redrawn > art.width() * art.height() / 50,
                     qPrintable(QString::number(redrawn)));
        }
    }

  private:
    PaintingHandler handler;
    std::unique_ptr<QtPlatform> platform;
};

QTEST_MAIN(QtLayoutTest)
#include "qt_layout_test.moc"
