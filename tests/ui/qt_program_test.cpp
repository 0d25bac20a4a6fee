// The real dialog over the Qt platform layer and the real solver: start-up until
// Solve is enabled, backward clicks and direct drags, Solve, Trace to the end,
// Shuffle, a standard instance, and closing while a solve runs. One dialog per process (the tables
// are built once), so the test functions run in order on one dialog.
//
// With FIFTEEN_SCREENSHOT=<file.png> it also saves the dialog after solving a
// standard instance, with FIFTEEN_MARKS_SCREENSHOT and FIFTEEN_PLOT_SCREENSHOT the
// optimal moves' marks and the plot of checked moves (run under Xvfb with
// QT_QPA_PLATFORM=xcb for the README pictures).

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "puzzle/board.h"
#include "puzzle/shuffle.h"
#include "search/solver_state.h"
#include "ui/main_dialog.h"
#include "ui/qt_platform.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

constexpr int tablesTimeoutMs = 280'000;  // the database builds under the sanitizers

int manhattanDistance(const Board& board) {
    int sum = 0;
    for (int cell = 0; cell < 16; ++cell) {
        const int tile = board[static_cast<size_t>(cell)];
        if (tile != 0)
            sum += std::abs(cell % 4 - (tile - 1) % 4) + std::abs(cell / 4 - (tile - 1) / 4);
    }
    return sum;
}

// Slides the listed tiles one after another; false when one is not next to the blank.
bool replay(Board board, const int32_t* moves, int count, Board& end) {
    for (int i = 0; i < count; ++i) {
        int blank = 0, from = 0;
        for (int c = 0; c < 16; ++c) {
            if (board[static_cast<size_t>(c)] == 0) blank = c;
            if (board[static_cast<size_t>(c)] == moves[i]) from = c;
        }
        const int d = std::abs(blank - from);
        if (!((d == 1 && blank / 4 == from / 4) || d == 4)) return false;
        board[static_cast<size_t>(blank)] = moves[i];
        board[static_cast<size_t>(from)] = 0;
    }
    end = board;
    return true;
}

}  // namespace

class QtProgramTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        platform = std::make_unique<QtPlatform>();
        dialog = std::make_unique<MainDialog>(*platform);
        platform->build(*dialog);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
    }

    void startUpShowsTheGoalAndEnablesSolveOnceTheTablesAreBuilt() {
        QVERIFY(platform->dialog()->windowTitle().startsWith(QStringLiteral("fifteen")));
        QCOMPARE(dialog->view().board, goalBoard);
        // The board lies left of the output box, between the group boxes and the line.
        const Rect board = platform->boardRect();
        QCOMPARE(board.width(), 256);
        QVERIFY(board.left >= 0 && board.right <= platform->control(idOutput)->geometry().left());
        QVERIFY(board.top >= platform->control(idProblemGroup)->geometry().bottom());
        QVERIFY(board.bottom <= platform->control(idSeparator)->geometry().top());
        // Editing works while the tables are built.
        QVERIFY(platform->isControlEnabled(idShuffle));
        QVERIFY(platform->isControlEnabled(idBackward));
        QTRY_VERIFY_WITH_TIMEOUT(dialog->allReady(), tablesTimeoutMs);
        QVERIFY(platform->isControlEnabled(idSolve));
        QVERIFY(!platform->isControlEnabled(idTrace));
        QVERIFY(!dialog->preparationFailed());
    }

    void backwardClicksOnTheBoardEditThePosition() {
        QTest::mouseClick(platform->control(idBackward), Qt::LeftButton);
        QCOMPARE(dialog->mode(), UiMode::backward);
        QVERIFY(platform->isChecked(idBackward));
        // Slide the blank along the bottom row: cells 14, 13, 12, then up to 8.
        for (int cell : {14, 13, 12, 8}) clickCell(cell);
        clickCell(15);  // not next to the blank: nothing
        QCOMPARE(QString::fromStdString(platform->controlText(idStatus)),
                 QStringLiteral(" Backward 4 moves"));
        const Board shown = dialog->view().board;
        QCOMPARE(shown[8], 0);
        QCOMPARE(shown[12], 9);
        QCOMPARE(shown[15], 15);
        // The screen shows the tile that moved: cell 15 now holds 15, not the blank.
        const QImage shot = platform->dialog()->grab().toImage();
        const Rect r = platform->boardRect();
        QVERIFY(shot.pixel(r.left + 64 * 3 + 32, r.top + 64 * 3 + 12) !=
                shot.pixel(r.left + 32, r.top + 64 * 2 + 32));
    }

    void solveFindsAnOptimalSolutionThatReplaysToTheGoal() {
        const Board problem = dialog->view().board;
        QTest::mouseClick(platform->control(idSolve), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialog->mode(), UiMode::solved, 60'000);
        QCOMPARE(solverState.problem, problem);
        const int length = solverState.bestLength.load();
        // Four moves made it, and no fewer can undo it: at least the Manhattan distance.
        QCOMPARE(manhattanDistance(problem), 4);
        QCOMPARE(length, 4);
        Board end{};
        QVERIFY(replay(problem, solverState.solution.data(), length, end));
        QCOMPARE(end, goalBoard);
        const QString report = QString::fromStdString(platform->controlText(idOutput));
        QVERIFY2(report.contains(QStringLiteral("Optimal solution is 4 moves.\r\n")),
                 qPrintable(report));
        QVERIFY(platform->isControlEnabled(idTrace));
        QVERIFY(!platform->isChecked(idBackward));
    }

    void traceShowsEveryMoveAndRestoresTheProblem() {
        const Board problem = solverState.problem;
        QTest::mouseClick(platform->control(idTrace), Qt::LeftButton);
        QCOMPARE(dialog->mode(), UiMode::tracing);
        QVERIFY(platform->isControlEnabled(idCancel));
        QVERIFY(!platform->isControlEnabled(idSolve));
        QTRY_VERIFY_WITH_TIMEOUT(dialog->pausing(), 20'000);
        QCOMPARE(dialog->view().board, goalBoard);  // every move shown
        QTRY_COMPARE_WITH_TIMEOUT(dialog->mode(), UiMode::solved, 10'000);
        QCOMPARE(dialog->view().board, problem);
        QCOMPARE(QString::fromStdString(platform->controlText(idStatus)),
                 QStringLiteral("  0 /  4 moves"));
        QVERIFY(platform->isControlEnabled(idTrace));
    }

    void directDragReleasedOffTheBoardPutsTheTileBack() {
        QTest::mouseClick(platform->control(idDirectDrag), Qt::LeftButton);
        QCOMPARE(dialog->mode(), UiMode::directDrag);
        QTest::mouseClick(platform->control(idReset), Qt::LeftButton);
        QCOMPARE(dialog->view().board, goalBoard);
        const Rect r = platform->boardRect();
        QWidget* d = platform->boardWidget();
        // Lift tile 1 and pull it off the board's top-left: it follows the pointer;
        // released far off the bottom-right, it goes back to cell 0.
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(r.left + 32, r.top + 32));
        QCOMPARE(dialog->view().motion.tile, 1);
        QTest::mouseMove(d, QPoint(1, 1));  // (0, 0) would mean the centre to QTest
        QCOMPARE(dialog->view().motion.x, 1 - r.left);
        QCOMPARE(dialog->view().motion.y, 1 - r.top);
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(d->width() - 1, d->height() - 1));
        QCOMPARE(dialog->view().motion.tile, 0);
        QCOMPARE(dialog->view().board, goalBoard);
    }

    void shuffleGivesAnotherSolvablePosition() {
        seedRandom(20261208);  // the same shuffle on every run
        QTest::mouseClick(platform->control(idShuffle), Qt::LeftButton);
        QCOMPARE(dialog->mode(), UiMode::idle);
        QCOMPARE(QString::fromStdString(platform->controlText(idStatus)),
                 QStringLiteral("Shuffle"));
        QVERIFY(isSolvable(dialog->view().board));
        QVERIFY(dialog->view().board != goalBoard);
        QVERIFY(!platform->isControlEnabled(idTrace));
    }

    void aStandardInstanceSolvesToItsPublishedLength() {
        // Korf's instance 74 in this program's orientation: 56 moves.
        const Board instance = {11, 4, 6, 14, 15, 13, 9, 0, 7, 10, 8, 1, 5, 12, 3, 2};
        QTest::mouseClick(platform->control(idDirectDrag), Qt::LeftButton);
        dragInto(instance);
        QCOMPARE(dialog->view().board, instance);
        QTest::mouseClick(platform->control(idSolve), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialog->mode(), UiMode::solved, 120'000);
        QCOMPARE(solverState.bestLength.load(), 56);
        Board end{};
        QVERIFY(replay(instance, solverState.solution.data(), 56, end));
        QCOMPARE(end, goalBoard);
        const QString report = QString::fromStdString(platform->controlText(idOutput));
        QVERIFY2(report.contains(QStringLiteral("Optimal solution is 56 moves.\r\n")),
                 qPrintable(report));
        saveScreenshotIfAsked();
    }

    // Halfway through the instance's solution: the marks of the real analysis
    // name the solution's next move optimal; then the rest of the solution with
    // three detours, checked, plots three lost moves and replays to the goal.
    void optimalMovesAndCheckMyMovesOverTheRealSolver() {
        const int32_t from = 26;
        std::vector<int32_t> solution(solverState.solution.begin() + from,
                                      solverState.solution.begin() + 56);
        QTest::keyClick(platform->dialog(), Qt::Key_Home);
        for (int32_t i = 0; i < from; ++i) dialog->runAction(Action::stepForward);
        QTRY_VERIFY(!dialog->stepping());
        QTest::keyClick(platform->dialog(), Qt::Key_H);
        QVERIFY(dialog->marksOn());
        QTRY_VERIFY_WITH_TIMEOUT(dialog->marks().any(), 60'000);
        const Board shown = dialog->view().board;
        const auto cell = std::find(shown.begin(), shown.end(), solution.front()) - shown.begin();
        QCOMPARE(dialog->marks().cells[static_cast<size_t>(cell)], TileMark::optimal);
        QVERIFY(QString::fromStdString(platform->controlText(idOutput))
                    .endsWith(QStringLiteral("; 30 moves to go\r\n")));
        saveScreenshotIfAsked("FIFTEEN_MARKS_SCREENSHOT");

        // A tile moved and moved back, at three places along the solution.
        std::vector<int32_t> moves;
        Board board = shown;
        for (size_t i = 0; i < solution.size(); ++i) {
            if (i == 3 || i == 11 || i == 20) {
                const auto blank = std::find(board.begin(), board.end(), 0) - board.begin();
                const int32_t detour =
                    board[static_cast<size_t>(blank % 4 == 0 ? blank + 1 : blank - 1)];
                moves.insert(moves.end(), {detour, detour});
            }
            moves.push_back(solution[i]);
            Board next{};
            QVERIFY(replay(board, &solution[i], 1, next));
            board = next;
        }
        QString text;
        for (const int32_t tile : moves) text += QString::number(tile) + QLatin1Char(' ');
        QTimer::singleShot(100, [text] {
            auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!input) return;
            input->setTextValue(text);
            input->accept();
        });
        dialog->runAction(Action::checkMyMoves);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->plotShown(), 60'000);
        const ReviewPlot& plot = dialog->plot();
        QCOMPARE(plot.startLength, 30);
        QCOMPARE(plot.count(), 36);
        QCOMPARE(plot.ended, 0);
        QCOMPARE(plot.lost.size(), size_t{3});
        QVERIFY(platform->plotWidget() && platform->plotWidget()->isVisible());
        saveScreenshotIfAsked("FIFTEEN_PLOT_SCREENSHOT");
        QCOMPARE(dialog->lastSolve().length, 36);
        QTest::keyClick(platform->dialog(), Qt::Key_End);
        QCOMPARE(dialog->view().board, goalBoard);
        QTest::keyClick(platform->dialog(), Qt::Key_H);
        QVERIFY(!dialog->marksOn());
    }

    void closingWhileASolveRunsStopsItAndEndsTheDialog() {
        // Korf's instance 60 (66 moves), one of the longest searches of the set.
        const Board hard = {0, 8, 10, 6, 11, 7, 9, 1, 12, 4, 13, 14, 15, 3, 2, 5};
        QTest::mouseClick(platform->control(idDirectDrag), Qt::LeftButton);
        dragInto(hard);
        QCOMPARE(dialog->view().board, hard);
        QTest::mouseClick(platform->control(idSolve), Qt::LeftButton);
        QCOMPARE(dialog->mode(), UiMode::solving);
        QVERIFY(!platform->isControlEnabled(idShuffle));
        QVERIFY(platform->isControlEnabled(idCancel));
        QTest::qWait(300);
        QCOMPARE(dialog->mode(), UiMode::solving);
        platform->dialog()->close();
        QVERIFY(!platform->dialog()->isVisible());
        QCOMPARE(platform->dialog()->result(), 0);
        // Nothing reaches the closed dialog afterwards.
        const std::string output = platform->controlText(idOutput);
        QTest::qWait(50);
        QCOMPARE(platform->controlText(idOutput), output);
        QVERIFY(!QString::fromStdString(output).contains(QStringLiteral("Optimal")));
    }

    void cleanupTestCase() {
        dialog.reset();
        platform.reset();
    }

  private:
    void clickCell(int cell) {
        const Rect r = platform->boardRect();
        QTest::mouseClick(platform->boardWidget(), Qt::LeftButton, {},
                          QPoint(r.left + 64 * (cell % 4) + 32, r.top + 64 * (cell / 4) + 32));
    }

    // Direct drag swaps two cells; a blank cell lifts nothing, so the tile goes to it.
    void dragInto(const Board& target) {
        const Rect r = platform->boardRect();
        const auto centre = [&](int cell) {
            return QPoint(r.left + 64 * (cell % 4) + 32, r.top + 64 * (cell / 4) + 32);
        };
        for (int i = 0; i < 16; ++i) {
            const Board& shown = dialog->view().board;
            const auto want = target[static_cast<size_t>(i)];
            if (shown[static_cast<size_t>(i)] == want) continue;
            int j = i + 1;
            while (shown[static_cast<size_t>(j)] != want) ++j;
            const int from = want == 0 ? i : j, to = want == 0 ? j : i;
            QTest::mousePress(platform->boardWidget(), Qt::LeftButton, {}, centre(from));
            QTest::mouseRelease(platform->boardWidget(), Qt::LeftButton, {}, centre(to));
        }
    }

    void saveScreenshotIfAsked(const char* variable = "FIFTEEN_SCREENSHOT") {
        const QString path = qEnvironmentVariable(variable);
        if (path.isEmpty()) return;
        QWidget* d = platform->dialog();
        QTest::qWait(200);
        // Under a real X server take what the server shows; offscreen, render it.
        QPixmap shot = QGuiApplication::platformName() == QLatin1String("xcb")
                           ? d->screen()->grabWindow(d->winId())
                           : d->grab();
        QVERIFY(shot.save(path));
    }

    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<MainDialog> dialog;
};

QTEST_MAIN(QtProgramTest)
#include "qt_program_test.moc"
