// The dialog as a desktop program through the real Qt platform layer: the Tab
// order and the board's focus mark, Alt+letter shortcuts and tooltips, the Help
// window, the marked move kept in view, the board's accessible description, and
// the settings kept in a temporary config folder ($XDG_CONFIG_HOME) and forgotten
// with --reset-settings.

#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "puzzle/moves.h"
#include "puzzle/position_parser.h"
#include "search/report.h"
#include "tests/ui/qt_test_fixtures.h"
#include "ui/dialog_texts.h"
#include "ui/help_text.h"
#include "ui/main_dialog.h"
#include "ui/qt/board_widget.h"
#include "ui/qt/dialog_fonts.h"
#include "ui/qt/qt_settings.h"
#include "ui/qt_platform.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

// Tables ready at once; a solve answers solution with the program's report.
class ListServices final : public testing::ReadyTablesServices {
  public:
    void solve(const Board& board, SolveOutput& output) override {
        SolveResult result;
        result.status = solveSolved;
        result.problem = board;
        result.length = static_cast<int32_t>(solution.size());
        std::copy(solution.begin(), solution.end(), result.moves.begin());
        ReportText report;
        appendProblem(report, board);
        std::array<TextSpan, solutionCapacity> spans{};
        appendSolution(report, result.length, result.moves.data(), ElapsedTime{0, 1}, spans.data());
        output.setReportText(report.c_str(), spans.data(), result.length);
        output.setSolutionAvailable(true);
        output.setPlaybackPosition(0);
        output.solveFinished(result);
    }
    std::vector<int32_t> solution = {14, 15};
};

// A position length random slides from the goal, and the slides that take it back.
Board walkAway(int length, std::vector<int32_t>& back) {
    std::mt19937 random(7);
    Board board = goalBoard;
    back.clear();
    while (static_cast<int>(back.size()) < length) {
        const int blank = blankCell(board);
        const auto options = static_cast<uint32_t>(neighborCount[static_cast<size_t>(blank)]);
        const int cell = neighbors[static_cast<size_t>(blank)][random() % options];
        const int32_t tile = board[static_cast<size_t>(cell)];
        if (!back.empty() && back.front() == tile) continue;  // no slide straight back
        slideTile(board, tile);
        back.insert(back.begin(), tile);
    }
    return board;
}

}  // namespace

class QtNativeTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", config.path().toLocal8Bit());
    }
    void init() { open(); }
    void cleanup() { close(); }

    void tabGoesRoundTheButtonsThenTheBoardThenTheOutputBox() {
        solve();
        platform->setFocus(idShuffle);
        const std::vector<int> order = {idBackward, idDirectDrag, idReset,  idSolve,
                                        idTrace,    focusBoard,   idOutput, idShuffle};
        std::vector<int> seen;
        for (size_t i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.push_back(platform->focusedControl());
        }
        QCOMPARE(seen, order);  // Cancel is disabled, so passed over
        for (size_t i = order.size() - 1; i-- > 0;) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(platform->focusedControl(), order[i]);
        }
        // While a playback runs only Cancel, the board and the output box are left.
        platform->setFocus(idTrace);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(platform->focusedControl(), idCancel);
        for (const int next : {focusBoard, idOutput, idCancel}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(platform->focusedControl(), next);
        }
    }

    void theBoardShowsItsFocusMarkWhenTabbedTo() {
        const Rect board = platform->boardRect();
        const auto markRow = [&] {
            const QImage shot = platform->dialog()->grab().toImage();
            const double ratio = shot.devicePixelRatio();
            QString row;
            for (int x = board.left; x < board.right; ++x)
                row += QString::number(shot.pixel(int(x * ratio), int((board.top - 3) * ratio)));
            return row;
        };
        platform->setFocus(idShuffle);
        const QString without = markRow();
        platform->setFocus(idSolve);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(platform->focusedControl(), focusBoard);
        QVERIFY(markRow() != without);
    }

    void altLettersPressButtonsWhoseTextsStayAsTheyAre() {
        for (const ControlTemplate& t : dialogTemplate()) {
            if (t.kind != ControlKind::pushButton && t.kind != ControlKind::pushCheckBox) continue;
            QCOMPARE(QString::fromStdString(platform->controlText(t.id)),
                     QString::fromLatin1(t.text));
            QWidget* button = platform->control(t.id);
            QVERIFY2(button->toolTip().contains(QStringLiteral("Alt+")), t.text);
            // The letter is one of the text's own.
            const QChar letter =
                button->toolTip().at(button->toolTip().indexOf(QStringLiteral("Alt+")) + 4);
            QVERIFY2(QString::fromLatin1(t.text).contains(letter, Qt::CaseInsensitive), t.text);
        }
        for (const ControlTemplate& t : dialogTemplate()) {
            const QWidget* control = platform->control(t.id);
            QVERIFY2(t.id == idSeparator || (!control->accessibleName().isEmpty() &&
                                             !control->accessibleDescription().isEmpty()),
                     t.text);
        }
        QVERIFY(platform->boardWidget()->toolTip().contains(QStringLiteral("F1")));

        QTest::keyClick(platform->dialog(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(platform->controlText(idStatus), std::string(shuffleStatus));
        QTest::keyClick(platform->dialog(), Qt::Key_B, Qt::AltModifier);
        QCOMPARE(dialog->mode(), UiMode::backward);
        QVERIFY(platform->isChecked(idBackward));
        QTest::keyClick(platform->dialog(), Qt::Key_T, Qt::AltModifier);  // disabled: nothing
        QCOMPARE(dialog->mode(), UiMode::backward);
        QTest::keyClick(platform->control(idReset), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(dialog->mode(), UiMode::directDrag);
        // F1 from a button opens the Help window, which leaves the dialog working.
        QTest::keyClick(platform->control(idSolve), Qt::Key_F1);
        const auto* help = platform->dialog()->findChild<QDialog*>();
        QVERIFY(help && help->isVisible() && !help->isModal());
        QCOMPARE(help->windowTitle(), QString::fromLatin1(helpTitle));
        QTest::keyClick(platform->dialog(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(platform->controlText(idStatus), std::string(shuffleStatus));
    }

    void theMoveJustMadeIsMarkedAndKeptInView() {
        Board problem = walkAway(80, services.solution);
        auto* output = static_cast<QPlainTextEdit*>(platform->control(idOutput));
        output->resize(output->width(), output->height() / 3);  // the list no longer fits
        solve(formatPosition(problem));
        const auto marked = [&] {
            const auto marks = output->extraSelections();
            return marks.isEmpty() ? QString() : marks[0].cursor.selectedText();
        };
        QCOMPARE(marked(), QString());
        QTest::keyClick(platform->dialog(), Qt::Key_Right);
        QTRY_COMPARE(marked(), QString::number(services.solution[0]));
        QTest::keyClick(platform->dialog(), Qt::Key_End);
        QCOMPARE(marked(), QString::number(services.solution.back()));
        const QRect shown = output->cursorRect(output->extraSelections()[0].cursor);
        QVERIFY(shown.top() >= 0 && shown.bottom() < output->viewport()->height());
        QVERIFY(output->verticalScrollBar()->value() > 0);
        QVERIFY(!output->textCursor().hasSelection());
        QTest::keyClick(platform->dialog(), Qt::Key_Home);
        QCOMPARE(marked(), QString());
    }

    void settingsAreWrittenToTheConfigFolderAndReadBack() {
        QtSettings settings;
        QVERIFY(settings.fileName().startsWith(config.path() + QStringLiteral("/fifteen/")));
        close();
        open(&settings);
        QTest::keyClick(platform->dialog(), Qt::Key_Minus);
        QTest::keyClick(platform->dialog(), Qt::Key_Minus);
        platform->dialog()->move(40, 30);
        const QSize larger = platform->dialog()->size() + QSize(100, 60);
        platform->dialog()->resize(larger);
        close();
        {
            QtSettings reread;  // as the next run reads it
            QCOMPARE(reread.intValue(settingKeys::playbackSpeed, -1, 0, 3), normalSpeed - 2);
            QCOMPARE(reread.intValue(settingKeys::windowX, -1, -9999, 9999), 40);
            open(&reread);
            QCOMPARE(dialog->speed(), normalSpeed - 2);
            QCOMPARE(platform->dialog()->pos(), QPoint(40, 30));
            // As far as the screen allows.
            const QSize room = platform->dialog()->screen()->availableGeometry().size();
            QCOMPARE(platform->dialog()->size(),
                     larger.boundedTo(room).expandedTo(platform->dialog()->minimumSize()));
            close();
        }
        QVERIFY(QFile(settings.fileName()).exists());
    }

    void resetSettingsForgetsThem() {
        {
            QtSettings settings;
            settings.setInt(settingKeys::playbackSpeed, 0);
        }
        QtSettings settings;
        const QString file = settings.fileName();
        const auto kept = [&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) && f.readAll().contains("speed");
        };
        QVERIFY(kept());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(FIFTEEN_PROGRAM), {QStringLiteral("--reset-settings")});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!kept(), 20000);
        program.kill();
        program.waitForFinished();
    }

    void aLargerWindowGrowsTheBoardAndTheOutputBoxAndNothingFallsOutside() {
        QDialog* window = platform->dialog();
        const QSize smallest = window->size();
        const QImage before = window->grab().toImage();
        const QRect box = platform->control(idOutput)->geometry();
        const auto* board = static_cast<const BoardWidget*>(platform->boardWidget());
        window->resize(smallest - QSize(50, 50));
        QCOMPARE(window->size(), smallest);
        for (const QSize more : {QSize(200, 300), QSize(301, 120), QSize(3, 2)}) {
            window->resize(smallest + more);
            const QRect shown = board->shownRect();
            QCOMPARE(shown.width(), 256 + std::min(more.width(), more.height()) / 4 * 4);
            QCOMPARE(shown.height(), shown.width());
            QVERIFY(platform->control(idOutput)->height() == box.height() + more.height());
            for (const ControlTemplate& t : dialogTemplate()) {
                const QRect r = platform->control(t.id)->geometry();
                QVERIFY2(window->rect().contains(r), t.text);
                if (t.id != idEditGroup && t.id != idProblemGroup && t.id != idSolverGroup)
                    QVERIFY2(!r.intersects(shown.adjusted(-3, -3, 3, 3)), t.text);
            }
        }
        // Back at the smallest size, every pixel is as it was.
        window->resize(smallest);
        QCOMPARE(window->grab().toImage(), before);
    }

    void theGrownBoardIsDrawnFromTheArtworkOfItsResolution() {
        const double ratio = platform->dialog()->devicePixelRatioF();
        // A shown board whose cells are as many device pixels as one of the artworks'.
        const std::pair<int, const char*> artworks[] = {
            {96, ":/tiles@1.5x.png"}, {128, ":/tiles@2x.png"}, {192, ":/tiles@3x.png"}};
        int side = 0;
        QImage art;
        for (const auto& [cell, name] : artworks) {
            if (cell > 64 * ratio && std::fmod(cell / ratio, 1.0) == 0) {
                side = cell;
                art = QImage(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
                break;
            }
        }
        QVERIFY(side > 0 && !art.isNull());
        const int grow = static_cast<int>(4 * side / ratio) - 256;
        platform->dialog()->resize(platform->dialog()->size() + QSize(grow, grow));
        const auto* board = static_cast<const BoardWidget*>(platform->boardWidget());
        const QRect shown = board->shownRect();
        QCOMPARE(shown.width(), 256 + grow);
        QImage shot = platform->dialog()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        shot.setDevicePixelRatio(1);  // compared pixel for pixel
        art.setDevicePixelRatio(1);
        for (int tile = 1; tile < 16; ++tile) {
            const int cell = tile - 1;  // the goal
            const QPoint at(static_cast<int>(std::lround(shown.left() * ratio)) + side * (cell % 4),
                            static_cast<int>(std::lround(shown.top() * ratio)) + side * (cell / 4));
            QCOMPARE(shot.copy(QRect(at, QSize(side, side))),
                     art.copy(side * (tile % 4), side * (tile / 4), side, side));
        }
        // The pointer lands on the cell it is shown over: tile 1 dragged onto 6's cell.
        QTest::mouseClick(platform->control(idDirectDrag), Qt::LeftButton);
        const auto centre = [&](int cell) {
            const int third = shown.width() / 4;
            return shown.topLeft() +
                   QPoint(third * (cell % 4) + third / 2, third * (cell / 4) + third / 2);
        };
        QWidget* widget = platform->boardWidget();
        QTest::mousePress(widget, Qt::LeftButton, {}, centre(0));
        QTest::mouseMove(widget, centre(5));
        QTest::mouseRelease(widget, Qt::LeftButton, {}, centre(5));
        QCOMPARE(dialog->view().board[5], 1);
        QCOMPARE(dialog->view().board[0], 6);
    }

  private:
    void open(Settings* settings = nullptr) {
        platform = std::make_unique<QtPlatform>();
        dialog = std::make_unique<MainDialog>(*platform, services);
        if (settings) {
            platform->keepWindowIn(*settings);
            dialog->rememberIn(*settings);
        }
        platform->build(*dialog);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        platform->dialog()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(platform->dialog()));
    }
    void close() {
        if (!dialog) return;
        dialog->onClose();
        dialog.reset();
        platform.reset();
    }
    void solve(const std::string& position = "1 2 3 4 5 6 7 8 9 10 11 12 13 0 14 15") {
        QGuiApplication::clipboard()->setText(QString::fromStdString(position));
        QTest::keyClick(platform->dialog(), Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(platform->control(idSolve), Qt::LeftButton);
        QTRY_COMPARE(dialog->mode(), UiMode::solved);
    }

    QTemporaryDir config;
    ListServices services;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<MainDialog> dialog;
};

QTEST_MAIN(QtNativeTest)
#include "qt_native_test.moc"
