// Keys, clipboard and drops through the real Qt platform layer: a key pressed
// while a button has the focus still reaches the board, Return presses the
// focused button, and Copy / Paste go through the system clipboard.

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "puzzle/position_parser.h"
#include "ui/main_dialog.h"
#include "ui/qt_platform.h"

using namespace fifteen;
using namespace fifteen::ui;

namespace {

// No tables and no solves: the editing tools need neither.
class NoServices final : public SolverServices {
  public:
    bool startPreparation(TableCallback) override { return true; }
    void joinPreparation() override {}
    void releaseTables() override {}
    void solve(const Board&, SolveOutput&) override {}
};

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
    NoServices services;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<MainDialog> dialog;
};

QTEST_MAIN(QtKeysTest)
#include "qt_keys_test.moc"
