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

#include "search/report.h"
#include "ui/board_view.h"
#include "ui/qt_platform.h"
#include "ui/startup.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

class PaintingHandler : public DialogHandler {
  public:
    void onInit() override {}
    void onCommand(int) override {}
    void onTimer(int) override {}
    void onMessage(int) override {}
    void onMouse(MouseEvent, Point) override {}
    void onPaint() override {
        if (paintHook) paintHook();
    }
    void onClose() override {}
    std::function<void()> paintHook;
};

QRect geometryOf(const QtPlatform& platform, int id) {
    return platform.control(id)->geometry();
}

QRect toQRect(Rect r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// The group each button lies in.
int groupOf(int button) {
    return button <= 1006 ? 1001 : button == 1007 ? 1002 : 1003;
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
        platform->setMonospaceFont(1011);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
    }
    void cleanup() {
        platform.reset();
        handler.paintHook = nullptr;  // it may refer to a finished test's frame
    }

    void everyControlLiesInsideTheWindowAndButtonsInsideTheirGroup() {
        const QRect client(QPoint(0, 0), platform->dialog()->size());
        for (int id = 1001; id <= 1014; ++id) {
            QVERIFY2(client.contains(geometryOf(*platform, id)), qPrintable(QString::number(id)));
        }
        for (int id = 1004; id <= 1010; ++id) {
            // Inside the etched frame, which starts at the middle of the title.
            const QRect group = geometryOf(*platform, groupOf(id));
            const int titleMiddle =
                QFontMetrics(platform->control(groupOf(id))->font()).height() / 2;
            const QRect inside = group.adjusted(2, titleMiddle + 2, -2, -2);
            QVERIFY2(inside.contains(geometryOf(*platform, id)), qPrintable(QString::number(id)));
        }
        // Groups, output box, separator and the two texts do not overlap.
        const int apart[] = {1001, 1002, 1003, 1011, 1012, 1013, 1014};
        for (int a : apart) {
            for (int b : apart) {
                if (a < b) {
                    QVERIFY2(!geometryOf(*platform, a).intersects(geometryOf(*platform, b)),
                             qPrintable(QStringLiteral("%1 %2").arg(a).arg(b)));
                }
            }
        }
    }

    void everyTextHasRoomInItsControl() {
        for (int id = 1004; id <= 1010; ++id) {
            auto* button = qobject_cast<QPushButton*>(platform->control(id));
            const QFontMetrics metrics(button->font());
            const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin);
            QVERIFY2(metrics.horizontalAdvance(button->text()) + 2 * margin <= button->width(),
                     qPrintable(button->text()));
            QVERIFY2(metrics.height() + 4 <= button->height(), qPrintable(button->text()));
        }
        // The longest texts these lines show.
        platform->setControlText(1013, " WD=70, PDB=58, Threads=1000/1000");
        platform->setControlText(1014, "99999 sec");
        for (int id : {1013, 1014}) {
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
        platform->setControlText(1011, report.c_str());
        auto* edit = qobject_cast<QPlainTextEdit*>(platform->control(1011));
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

    void theBoardLiesClearOfTheControls() {
        const QRect board = toQRect(placeBoard(*platform).board);
        QCOMPARE(board.size(), QSize(256, 256));
        QVERIFY(QRect(QPoint(0, 0), platform->dialog()->size()).contains(board));
        for (int id : {1001, 1002, 1003, 1011, 1012, 1013}) {
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

        BoardView view(*platform);
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
