// Keys, clipboard and drops through the real Qt platform layer: a key pressed
// while a button has the focus still reaches the board, Return presses the
// focused button, and Copy / Paste go through the system clipboard.

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <iterator>
#include <memory>

#include "puzzle/position_parser.h"
#include "tests/ui/qt_test_fixtures.h"
#include "ui/main_dialog.h"
#include "ui/qt_platform.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

// Tables ready at once; a solve answers the two moves of twoMovesText whatever
// the board, which is all the keys' tests solve.
const char* const twoMovesText = "1 2 3 4 5 6 7 8 9 10 11 12 13 0 14 15";

class NoServices final : public testing::ReadyTablesServices {
  public:
    void solve(const Board& board, SolveOutput& output) override {
        output.setOutputText("report\r\n");
        output.setSolutionAvailable(true);
        output.setPlaybackPosition(0);
        SolveResult result;
        result.status = solveSolved;
        result.problem = board;
        result.length = 2;
        result.moves = {14, 15};
        output.solveFinished(result);
    }
};

// One key of the shortcut table, and where it leaves a solution stepped to move 1
// of 2 when a button has the focus; the output box keeps the cursor keys. Down
// plays the tile above the blank, which leaves the solution (position 0); Up has
// no tile to play there.
struct KeyCase {
    const char* name;
    Qt::Key key;
    int position;  // after the key at a button
    int speed;     // change of the speed index, wherever the focus
    bool outputBoxKeeps;
};
constexpr KeyCase keyCases[] = {
    {"Right", Qt::Key_Right, 2, 0, true}, {"Left", Qt::Key_Left, 0, 0, true},
    {"Up", Qt::Key_Up, 1, 0, true},       {"Down", Qt::Key_Down, 0, 0, true},
    {"Home", Qt::Key_Home, 0, 0, true},   {"End", Qt::Key_End, 2, 0, true},
    {"Plus", Qt::Key_Plus, 1, 1, false},  {"Minus", Qt::Key_Minus, 1, -1, false},
};
constexpr int focusTargets[] = {idShuffle, idBackward, idDirectDrag, idReset,
                                idSolve,   idTrace,    idOutput};

}  // namespace

class QtKeysTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        platform = std::make_unique<QtPlatform>();
        dialog = std::make_unique<MainDialog>(*platform, services);
        platform->build(*dialog);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
    }
    void cleanup() {
        dialog->onClose();
        dialog.reset();
        platform.reset();
    }

    void anArrowKeyOnAFocusedButtonMovesATileOnTheBoard() {
        auto* backward = static_cast<QPushButton*>(platform->control(idBackward));
        QTest::mouseClick(backward, Qt::LeftButton);
        QCOMPARE(dialog->mode(), UiMode::backward);
        backward->setFocus();
        QTest::keyClick(backward, Qt::Key_Right);
        QCOMPARE(dialog->view().board[15], 15);
        QCOMPARE(dialog->view().board[14], 0);
        QCOMPARE(platform->controlText(idStatus), std::string(" Backward 1 moves"));
        QCOMPARE(QApplication::focusWidget(), backward);  // the focus did not move
        // In the output box the same key stays with its text cursor.
        platform->control(idOutput)->setFocus();
        QTest::keyClick(platform->control(idOutput), Qt::Key_Right);
        QCOMPARE(dialog->view().backwardCount, 1);
    }

    void everyBoardKeyStaysWithTheBoardWhateverHasTheFocus_data() {
        QTest::addColumn<int>("caseIndex");
        QTest::addColumn<int>("focusId");
        for (int k = 0; k < static_cast<int>(std::size(keyCases)); ++k) {
            for (const int id : focusTargets) {
                QTest::addRow("%s at %d", keyCases[k].name, id) << k << id;
            }
        }
    }
    void everyBoardKeyStaysWithTheBoardWhateverHasTheFocus() {
        QFETCH(int, caseIndex);
        QFETCH(int, focusId);
        const KeyCase& c = keyCases[caseIndex];
        solveTwoMoves();
        QTest::keyClick(platform->dialog(), Qt::Key_Right);
        QCOMPARE(dialog->playback().position, 1);
        QWidget* focus = platform->control(focusId);
        focus->setFocus();
        QCOMPARE(QApplication::focusWidget(), focus);
        const int speed = dialog->speed();
        QTest::keyClick(focus, c.key);
        const bool kept = focusId == idOutput && c.outputBoxKeeps;
        QCOMPARE(dialog->playback().position, kept ? 1 : c.position);
        QCOMPARE(dialog->speed(), speed + c.speed);
        // No key moves the focus on, but a played move disables Trace, whose keys
        // go on at the board.
        const bool traceDisabled = focusId == idTrace && c.key == Qt::Key_Down;
        QCOMPARE(QApplication::focusWidget(),
                 traceDisabled ? static_cast<QWidget*>(platform->dialog()) : focus);
    }

    void theFocusStaysOnCancelDuringAPlaybackAndEscapeStopsIt() {
        solveTwoMoves();
        QTest::mouseClick(platform->control(idTrace), Qt::LeftButton);
        QWidget* cancel = platform->control(idCancel);
        QCOMPARE(QApplication::focusWidget(), cancel);
        for (const Qt::Key key :
             {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End}) {
            QTest::keyClick(cancel, key);
            QCOMPARE(QApplication::focusWidget(), cancel);
        }
        QCOMPARE(dialog->mode(), UiMode::tracing);
        QTest::keyClick(cancel, Qt::Key_Escape);
        QTRY_COMPARE(dialog->mode(), UiMode::solved);
        QVERIFY(platform->dialog()->isVisible());
    }

    void escapeInTheOutputBoxGivesTheArrowsBackToTheBoard() {
        solveTwoMoves();
        QWidget* output = platform->control(idOutput);
        output->setFocus();
        QTest::keyClick(output, Qt::Key_Right);
        QCOMPARE(dialog->playback().position, 0);
        QTest::keyClick(output, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), platform->dialog());
        QTest::keyClick(platform->dialog(), Qt::Key_Right);
        QCOMPARE(dialog->playback().position, 1);
    }

    void aLongStatusIsElidedWithAllOfItInTheTooltip() {
        // The longest of the parser's messages; narrower, the line is as a larger
        // font would leave it.
        auto* status = static_cast<QLabel*>(platform->control(idStatus));
        status->resize(status->width() / 2, status->height());
        QGuiApplication::clipboard()->setText(
            QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 15"));
        QTest::keyClick(platform->dialog(), Qt::Key_V, Qt::ControlModifier);
        const QString full = QString::fromStdString(platform->controlText(idStatus));
        QVERIFY(full.endsWith(QStringLiteral("(no blank)")));
        QVERIFY(status->fontMetrics().horizontalAdvance(full) > status->width());
        QCOMPARE(status->toolTip(), full);
        const auto* output = static_cast<QPlainTextEdit*>(platform->control(idOutput));
        QVERIFY(output->toPlainText().contains(full.trimmed()));
    }

    // Only the report is dimmed: a line written under it (a paste's error here)
    // is current and keeps the normal colour.
    void aStaleReportIsDimmedUnderANote() {
        solveTwoMoves();
        const auto* output = static_cast<QPlainTextEdit*>(platform->control(idOutput));
        const QColor normal = output->palette().color(QPalette::Text);
        const auto dimmedTo = [&] {
            for (const QTextEdit::ExtraSelection& s : output->extraSelections()) {
                if (s.cursor.selectionStart() == 0 && s.format.foreground().color() != normal)
                    return s.cursor.selectionEnd();
            }
            return 0;
        };
        QTest::mouseClick(platform->control(idShuffle), Qt::LeftButton);
        QVERIFY(platform->staleNote() && platform->staleNote()->isVisible());
        QVERIFY(platform->staleNote()->geometry().bottom() < output->geometry().top());
        QCOMPARE(dimmedTo(), static_cast<int>(QString("report\n").size()));
        platform->dialog()->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("no position"));
        QTest::keyClick(platform->dialog(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(output->toPlainText().contains(QStringLiteral("Paste: ")));
        QCOMPARE(dimmedTo(), static_cast<int>(QString("report\n").size()));
        QTest::mouseClick(platform->control(idSolve), Qt::LeftButton);
        QTRY_COMPARE(dialog->mode(), UiMode::solved);
        QVERIFY(!platform->staleNote()->isVisible());
        QCOMPARE(dimmedTo(), 0);
    }

    void returnPressesTheFocusedButton() {
        auto* shuffle = static_cast<QPushButton*>(platform->control(idShuffle));
        shuffle->setFocus();
        QTest::keyClick(shuffle, Qt::Key_Return);
        QCOMPARE(platform->controlText(idStatus), std::string("Shuffle"));
        QVERIFY(dialog->view().board != goalBoard);
    }

    void copyAndPasteGoThroughTheSystemClipboard() {
        QTest::mouseClick(platform->control(idShuffle), Qt::LeftButton);
        const Board shuffled = dialog->view().board;
        QWidget* board = platform->dialog();
        board->setFocus();
        QTest::keyClick(board, Qt::Key_C, Qt::ControlModifier);
        const ParsedPosition copied =
            parsePosition(QGuiApplication::clipboard()->text().toStdString());
        QVERIFY(copied.ok);
        QCOMPARE(copied.board, shuffled);
        QGuiApplication::clipboard()->setText(
            QStringLiteral("0 15 14 13 12 11 10 9 8 7 6 5 4 3 2 1"));
        QTest::keyClick(board, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dialog->view().board[1], 15);
        QCOMPARE(platform->controlText(idStatus), std::string(pastedStatus));
    }

  private:
    void solveTwoMoves() {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(twoMovesText));
        QTest::keyClick(platform->dialog(), Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(platform->control(idSolve), Qt::LeftButton);
        QTRY_COMPARE(dialog->mode(), UiMode::solved);
        QVERIFY(platform->isControlEnabled(idTrace));
    }

    NoServices services;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<MainDialog> dialog;
};

QTEST_MAIN(QtKeysTest)
#include "qt_keys_test.moc"
