// The Qt platform layer under a recording handler: the template's layout in
// dialog units, commands, timers by identifier, calls from other threads and
// closing, mouse delivery and cursor confinement, artwork and board painting.

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "ui/dialog_ids.h"
#include "ui/qt_platform.h"

using namespace fifteen::ui;

namespace {

struct MouseRecord {
    MouseEvent event;
    Point client;
};

class RecordingHandler : public DialogHandler {
  public:
    explicit RecordingHandler(QtPlatform& platform) : platform_(platform) {}

    void onInit() override {
        ++inits;
        if (initHook) initHook();
    }
    void onCommand(int id) override {
        commands.push_back(id);
        checkedAtCommand.push_back(platform_.isChecked(id));
    }
    void onTimer(int id) override { timers.push_back(id); }
    void onMessage(int message) override {
        if (messageHook) messageHook(message);
        messages.push_back(message);
    }
    void onMouse(MouseEvent event, Point client) override { mice.push_back({event, client}); }
    void onPaint() override {
        ++paints;
        if (paintHook) paintHook();
    }
    void onClose() override {
        ++closes;
        if (closeHook) closeHook();
    }
    bool onKey(Key key, bool) override {
        keys.push_back(key);
        return false;  // so that Esc still goes on to the dialog
    }
    void onDropText(std::string_view text) override { drops.emplace_back(text); }
    void onContextMenu(Point client) override { menus.push_back(client); }

    int inits = 0, paints = 0, closes = 0;
    std::vector<Key> keys;
    std::vector<std::string> drops;
    std::vector<Point> menus;
    std::vector<int> commands, timers, messages;
    std::vector<bool> checkedAtCommand;
    std::vector<MouseRecord> mice;
    std::function<void()> initHook, paintHook, closeHook;
    std::function<void(int)> messageHook;

  private:
    QtPlatform& platform_;
};

// Every control the dialog logic names.
constexpr int controlIds[] = {idProblemGroup, idEditGroup, idSolverGroup, idShuffle, idBackward,
                              idDirectDrag,   idReset,     idSolve,       idCancel,  idTrace,
                              idOutput,       idSeparator, idStatus,      idSeconds};

// Base units computed the long way: the alphabet's width over 52, rounded half up,
// and the full line height of the font.
int pixelsX(const QFont& font, int du) {
    const double avg = std::floor(QFontMetrics(font).horizontalAdvance(QStringLiteral(
                                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                                      52.0 +
                                  0.5);
    return static_cast<int>(std::floor(du * avg / 4.0 + 0.5));
}
int pixelsY(const QFont& font, int du) {
    return static_cast<int>(std::floor(du * QFontMetrics(font).height() / 8.0 + 0.5));
}

// Spins the event loop for about ms milliseconds.
void pump(int ms) {
    QTest::qWait(ms);
}

}  // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        platform = std::make_unique<QtPlatform>();
        handler = std::make_unique<RecordingHandler>(*platform);
    }
    void cleanup() {
        handler.reset();
        platform.reset();
    }

    void buildCallsInitOnceWithTheDialogLaidOut() {
        bool laidOut = false;
        handler->initHook = [&] {
            laidOut = platform->control(1011) && platform->clientRect().width() > 0;
        };
        platform->build(*handler);
        QCOMPARE(handler->inits, 1);
        QVERIFY(laidOut);
        QVERIFY(!platform->dialog()->isSizeGripEnabled());
        // It may grow, never shrink below the template's size.
        QCOMPARE(platform->dialog()->minimumSize(), platform->dialog()->size());
        QVERIFY(platform->dialog()->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(platform->dialog()->windowFlags() & Qt::WindowSystemMenuHint);
        QVERIFY(!platform->dialog()->windowIcon().isNull());
    }

    void dialogFontIsCloseToTenPoints() {
        platform->build(*handler);
        const QFont font = platform->dialog()->font();
        QCOMPARE(font.pixelSize(), 13);
        const DialogBaseUnits units = platform->baseUnits();
        QVERIFY2(units.x >= 5 && units.x <= 9, qPrintable(QString::number(units.x)));
        QVERIFY2(units.y >= 12 && units.y <= 18, qPrintable(QString::number(units.y)));
    }

    // Each control of ui/dialog_ids.h is one row of the template the dialog is built
    // from, a widget of its row's kind placed at its row's dialog units.
    void everyControlOfTheTemplateIsThereWithItsTextAndPlace() {
        platform->build(*handler);
        const QFont font = platform->dialog()->font();
        QCOMPARE(platform->dialog()->size(),
                 QSize(pixelsX(font, dialogWidthDu), pixelsY(font, dialogHeightDu)));
        const std::span<const ControlTemplate> rows = dialogTemplate();
        QCOMPARE(rows.size(), std::size(controlIds));
        for (int id : controlIds) {
            const auto count = std::count_if(rows.begin(), rows.end(),
                                             [id](const ControlTemplate& t) { return t.id == id; });
            QVERIFY2(count == 1, qPrintable(QStringLiteral("control %1").arg(id)));
        }
        for (const ControlTemplate& t : rows) {
            const QString where = QStringLiteral("control %1").arg(t.id);
            QWidget* w = platform->control(t.id);
            QVERIFY2(w, qPrintable(where));
            QCOMPARE(w->parentWidget(), platform->dialog());
            const QRect expected(pixelsX(font, t.x), pixelsY(font, t.y), pixelsX(font, t.cx),
                                 pixelsY(font, t.cy));
            QVERIFY2(w->geometry() == expected, qPrintable(where));
            QCOMPARE(QString::fromStdString(platform->controlText(t.id)),
                     QString::fromLatin1(t.text));
            auto* button = qobject_cast<QPushButton*>(w);
            switch (t.kind) {
                case ControlKind::groupBox:
                    QVERIFY2(qobject_cast<QGroupBox*>(w), qPrintable(where));
                    QCOMPARE(qobject_cast<QGroupBox*>(w)->title(), QString::fromLatin1(t.text));
                    break;
                case ControlKind::pushButton:
                case ControlKind::pushCheckBox:
                    QVERIFY2(button, qPrintable(where));
                    QCOMPARE(button->text(), QString::fromLatin1(t.text));
                    QCOMPARE(button->isCheckable(), isCheckBoxControl(t.id));
                    QCOMPARE(button->isCheckable(), t.kind == ControlKind::pushCheckBox);
                    QVERIFY2(button->isVisibleTo(platform->dialog()), qPrintable(where));
                    break;
                case ControlKind::outputBox: {
                    QCOMPARE(t.id, idOutput);
                    auto* edit = qobject_cast<QPlainTextEdit*>(w);
                    QVERIFY(edit);
                    QVERIFY(edit->isReadOnly());
                    QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
                    // A long report with lines below it scrolls instead of being cut off.
                    QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
                    break;
                }
                case ControlKind::etchedLine: {
                    auto* line = qobject_cast<QFrame*>(w);
                    QVERIFY(line);
                    QCOMPARE(line->frameShape(), QFrame::HLine);
                    QCOMPARE(line->frameShadow(), QFrame::Sunken);
                    break;
                }
                case ControlKind::leftText:
                case ControlKind::rightText: {
                    auto* label = qobject_cast<QLabel*>(w);
                    QVERIFY2(label, qPrintable(where));
                    QCOMPARE(label->text(), QString::fromLatin1(t.text));
                    QVERIFY(label->alignment() &
                            (t.kind == ControlKind::leftText ? Qt::AlignLeft : Qt::AlignRight));
                    break;
                }
            }
        }
    }

    void buttonsAreAboveTheirGroupBoxes() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        for (int id = 1004; id <= 1010; ++id) {
            QWidget* button = platform->control(id);
            QCOMPARE(platform->dialog()->childAt(button->geometry().center()), button);
        }
    }

    void buttonClicksSendTheirCommand() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        for (int id : {1004, 1007, 1008, 1009, 1010}) {
            QTest::mouseClick(platform->control(id), Qt::LeftButton);
        }
        QCOMPARE(handler->commands, (std::vector<int>{1004, 1007, 1008, 1009, 1010}));
        QCOMPARE(handler->checkedAtCommand, (std::vector<bool>(5, false)));
    }

    void pushLikeCheckBoxesToggleBeforeTheirCommand() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        QTest::mouseClick(platform->control(1005), Qt::LeftButton);
        QTest::mouseClick(platform->control(1006), Qt::LeftButton);
        QTest::mouseClick(platform->control(1005), Qt::LeftButton);
        QCOMPARE(handler->commands, (std::vector<int>{1005, 1006, 1005}));
        QCOMPARE(handler->checkedAtCommand, (std::vector<bool>{true, true, false}));
        // Setting the state is not a click.
        platform->setCheck(1006, false);
        QVERIFY(!platform->isChecked(1006));
        platform->setCheck(1005, true);
        QVERIFY(platform->isChecked(1005));
        QCOMPARE(handler->commands.size(), size_t{3});
    }

    void disabledButtonsSendNothing() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        platform->enableControl(1008, false);
        QVERIFY(!platform->isControlEnabled(1008));
        QVERIFY(platform->isControlEnabled(1004));
        QTest::mouseClick(platform->control(1008), Qt::LeftButton);
        QVERIFY(handler->commands.empty());
        platform->enableControl(1008, true);
        QTest::mouseClick(platform->control(1008), Qt::LeftButton);
        QCOMPARE(handler->commands, (std::vector<int>{1008}));
    }

    void outputBoxShowsCarriageReturnLineFeedAsLineBreaks() {
        platform->build(*handler);
        platform->setControlText(1011, "Optimal solution\r\nline two\r\n");
        auto* edit = qobject_cast<QPlainTextEdit*>(platform->control(1011));
        QCOMPARE(edit->document()->blockCount(), 3);
        QCOMPARE(edit->document()->findBlockByNumber(1).text(), QStringLiteral("line two"));
        QVERIFY(!edit->toPlainText().contains(QChar('\r')));
        QCOMPARE(platform->controlText(1011), std::string("Optimal solution\r\nline two\r\n"));
        platform->setControlText(1013, " Backward 3 moves");
        QCOMPARE(qobject_cast<QLabel*>(platform->control(1013))->text(),
                 QStringLiteral(" Backward 3 moves"));
        QCOMPARE(qobject_cast<QLabel*>(platform->control(1013))->textFormat(), Qt::PlainText);
        platform->setCaption("fifteen 0.1");
        QCOMPARE(platform->dialog()->windowTitle(), QStringLiteral("fifteen 0.1"));
    }

    // What the program promises, whatever fonts are installed: the output box gets
    // the system's fixed font, every other control keeps the dialog font. (Whether
    // that font reports itself fixed-pitch depends on the machine: "Noto Sans
    // Mono" does not.)
    void monospaceFontGoesToTheOutputBoxOnly() {
        platform->build(*handler);
        const QFont dialogFont = platform->dialog()->font();
        platform->setMonospaceFont(1011);
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        QCOMPARE(platform->control(1011)->font().family(), fixed.family());
        QCOMPARE(platform->control(1011)->font(), fixed.resolve(dialogFont));
        for (const ControlTemplate& t : dialogTemplate()) {
            if (t.id != idOutput) QCOMPARE(platform->control(t.id)->font(), dialogFont);
        }
    }

    void timersFireByIdentifier() {
        platform->build(*handler);
        platform->setTimer(32770, 10);
        platform->setTimer(32771, 5000);
        QTRY_VERIFY(std::count(handler->timers.begin(), handler->timers.end(), 32770) >= 3);
        QCOMPARE(std::count(handler->timers.begin(), handler->timers.end(), 32771), 0);
        platform->killTimer(32770);
        platform->killTimer(32771);
        const size_t stopped = handler->timers.size();
        pump(100);
        QCOMPARE(handler->timers.size(), stopped);
    }

    void settingAnExistingTimerRestartsItWithTheNewPeriod() {
        platform->build(*handler);
        platform->setTimer(32770, 60000);
        platform->setTimer(32770, 10);
        QTRY_VERIFY(!handler->timers.empty());
        platform->setTimer(32770, 60000);
        const size_t slowed = handler->timers.size();
        pump(100);
        QCOMPARE(handler->timers.size(), slowed);
    }

    void sendMessageWaitsUntilTheDialogHasHandledIt() {
        platform->build(*handler);
        std::atomic<bool> returned{false};
        bool senderWasWaiting = false;
        handler->messageHook = [&](int) {
            // Give a sender that does not wait the time to run ahead.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            senderWasWaiting = !returned.load();
        };
        std::atomic<bool> result{false};
        std::thread sender([&] {
            result = platform->sendMessage(0x7FFE);
            returned = true;
        });
        QTRY_VERIFY(returned.load());
        sender.join();
        QVERIFY(result.load());
        QVERIFY(senderWasWaiting);
        QCOMPARE(handler->messages, (std::vector<int>{0x7FFE}));
    }

    void controlCallsFromAnotherThreadReachTheWidgets() {
        platform->build(*handler);
        std::atomic<bool> finished{false};
        std::string readBack;
        bool enabledBack = true;
        std::thread worker([&] {
            platform->setControlText(1011, "a\r\nb");
            platform->setControlText(1013, "Threads=4/4");
            platform->enableControl(1010, false);
            readBack = platform->controlText(1013);
            enabledBack = platform->isControlEnabled(1010);
            finished = true;
        });
        QTRY_VERIFY(finished.load());
        worker.join();
        QCOMPARE(readBack, std::string("Threads=4/4"));
        QVERIFY(!enabledBack);
        QCOMPARE(qobject_cast<QPlainTextEdit*>(platform->control(1011))->toPlainText(),
                 QStringLiteral("a\nb"));
        QVERIFY(!platform->control(1010)->isEnabled());
    }

    void afterBeginCloseOtherThreadsReturnAtOnce() {
        platform->build(*handler);
        platform->beginClose();
        bool sent = true;
        std::thread worker([&] {
            sent = platform->sendMessage(0x8001);
            platform->setControlText(1013, "late");
            platform->enableControl(1004, false);
        });
        worker.join();  // no event loop runs: a waiting worker would hang here
        pump(20);
        QVERIFY(!sent);
        QVERIFY(handler->messages.empty());
        QCOMPARE(qobject_cast<QLabel*>(platform->control(1013))->text(),
                 QStringLiteral("Solver = WD + PDB + OpenMP"));
        QVERIFY(platform->control(1004)->isEnabled());
        // The GUI thread itself still works the dialog while closing.
        platform->setControlText(1013, "closing");
        QCOMPARE(platform->controlText(1013), std::string("closing"));
    }

    void beginCloseReleasesASenderAlreadyWaiting() {
        platform->build(*handler);
        std::atomic<bool> sending{false};
        std::atomic<int> result{-1};
        std::thread sender([&] {
            sending = true;
            result = platform->sendMessage(0x8001) ? 1 : 0;
        });
        while (!sending.load()) std::this_thread::yield();
        // The GUI thread is busy (it serves no events) while the sender waits.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform->beginClose();
        sender.join();
        QCOMPARE(result.load(), 0);
        pump(20);  // the queued call, if still queued, must not run
        QVERIFY(handler->messages.empty());
    }

    void closingInsideAHandledMessageStillFinishesIt() {
        platform->build(*handler);
        std::atomic<bool> senderBack{false};
        bool backBeforeHandled = true;
        handler->messageHook = [&](int) {
            platform->beginClose();
            // The sender's frame must stay until this call has ended.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            backBeforeHandled = senderBack.load();
        };
        bool result = false;
        std::thread sender([&] {
            result = platform->sendMessage(0x7FFE);
            senderBack = true;
        });
        QTRY_VERIFY(senderBack.load());
        sender.join();
        QVERIFY(!backBeforeHandled);
        QVERIFY(result);
        QCOMPARE(handler->messages, (std::vector<int>{0x7FFE}));
    }

    void manySendersDuringClosingNeitherHangNorRunLate() {
        platform->build(*handler);
        std::atomic<int> delivered{0};
        handler->messageHook = [&](int) { ++delivered; };
        std::vector<std::thread> senders;
        std::atomic<int> accepted{0};
        for (int i = 0; i < 4; ++i) {
            senders.emplace_back([&] {
                for (int k = 0; k < 200; ++k) {
                    if (platform->sendMessage(0x7FFF)) ++accepted;
                    platform->setControlText(1013, "x");
                }
            });
        }
        pump(30);
        platform->beginClose();
        for (std::thread& t : senders) t.join();
        pump(20);
        QCOMPARE(delivered.load(), accepted.load());
        QCOMPARE(static_cast<int>(handler->messages.size()), accepted.load());
    }

    // A post never waits: from a worker it returns before the GUI thread runs it,
    // from the GUI thread it runs later, and posts and sends keep their order.
    void postsRunLaterInOrderWithMessages() {
        platform->build(*handler);
        std::vector<int> order;
        handler->messageHook = [&](int message) { order.push_back(message); };
        platform->post([&] { order.push_back(1); });
        QVERIFY(order.empty());  // not at once, even on the GUI thread
        std::atomic<bool> posted{false};
        std::thread worker([&] {
            platform->post([&] { order.push_back(2); });
            platform->post([&] { order.push_back(3); });
            posted = true;  // before the GUI thread has served anything
            platform->sendMessage(0x8001);
        });
        while (!posted.load()) std::this_thread::yield();
        QVERIFY(order.empty());
        QTRY_COMPARE(order.size(), size_t{4});
        worker.join();
        QCOMPARE(order, (std::vector<int>{1, 2, 3, 0x8001}));
    }

    void postsWaitingAtCloseAreDroppedAndLaterOnesNeverRun() {
        platform->build(*handler);
        int ran = 0;
        std::thread worker([&] { platform->post([&] { ++ran; }); });
        worker.join();
        platform->post([&] { ++ran; });
        platform->beginClose();
        std::thread late([&] { platform->post([&] { ++ran; }); });
        late.join();
        pump(30);
        QCOMPARE(ran, 0);
    }

    void mouseEventsArriveInClientCoordinates() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        QWidget* d = platform->boardWidget();
        QVERIFY(d->hasMouseTracking());
        platform->setFocus(idShuffle);
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(40, 120));
        // The board's widget lies under the controls and leaves the focus to the dialog.
        QCOMPARE(platform->dialog()->childAt(QPoint(40, 120)), d);
        QCOMPARE(platform->focusedControl(), focusBoard);
        QTest::mouseMove(d, QPoint(70, 130));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(90, 140));
        QTest::mousePress(d, Qt::RightButton, {}, QPoint(91, 141));
        QTest::mouseRelease(d, Qt::RightButton, {}, QPoint(91, 141));
        std::vector<MouseRecord> presses;
        for (const MouseRecord& m : handler->mice) {
            if (m.event != MouseEvent::move) presses.push_back(m);
        }
        QCOMPARE(presses.size(), size_t{2});
        QCOMPARE(presses[0].event, MouseEvent::leftDown);
        QCOMPARE(QPoint(presses[0].client.x, presses[0].client.y), QPoint(40, 120));
        QCOMPARE(presses[1].event, MouseEvent::leftUp);
        QCOMPARE(QPoint(presses[1].client.x, presses[1].client.y), QPoint(90, 140));
        const bool movedThere =
            std::any_of(handler->mice.begin(), handler->mice.end(), [](const MouseRecord& m) {
                return m.event == MouseEvent::move && m.client.x == 70 && m.client.y == 130;
            });
        QVERIFY(movedThere);
    }

    void confinedPointerPositionsAreClampedToTheClipSquare() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        QWidget* d = platform->boardWidget();
        const Point corner = platform->clientToScreen({100, 80});
        platform->confineCursor({corner.x, corner.y, corner.x + 50, corner.y + 40});
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(120, 90));
        QTest::mouseMove(d, QPoint(10, 10));
        QTest::mouseMove(d, QPoint(300, 300));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(300, 5));
        platform->releaseCursor();
        QTest::mouseMove(d, QPoint(12, 13));
        std::vector<QPoint> seen;
        for (const MouseRecord& m : handler->mice) seen.emplace_back(m.client.x, m.client.y);
        const auto has = [&](QPoint p) {
            return std::find(seen.begin(), seen.end(), p) != seen.end();
        };
        QVERIFY(has(QPoint(120, 90)));
        QVERIFY(has(QPoint(100, 80)));   // clamped to the top-left corner
        QVERIFY(has(QPoint(149, 119)));  // right and bottom are outside the square
        QCOMPARE(QPoint(handler->mice.back().client.x, handler->mice.back().client.y),
                 QPoint(12, 13));
        for (const MouseRecord& m : handler->mice) {
            if (m.event == MouseEvent::leftUp) {
                QCOMPARE(QPoint(m.client.x, m.client.y), QPoint(149, 80));
            }
        }
        for (size_t i = 0; i + 1 < handler->mice.size(); ++i) {
            QVERIFY(seen[i].x() >= 100 && seen[i].x() < 150 && seen[i].y() >= 80 &&
                    seen[i].y() < 120);
        }
    }

    void geometryIsInScreenCoordinates() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        QWidget* d = platform->dialog();
        const Rect client = platform->clientRect();
        QCOMPARE(client.left, 0);
        QCOMPARE(client.top, 0);
        QCOMPARE(QSize(client.width(), client.height()), d->size());
        const Point origin = platform->clientToScreen({0, 0});
        QCOMPARE(QPoint(origin.x, origin.y), d->mapToGlobal(QPoint(0, 0)));
        const Rect window = platform->windowRect();
        QVERIFY(window.left <= origin.x && window.top <= origin.y);
        QVERIFY(window.right >= origin.x + client.width() &&
                window.bottom >= origin.y + client.height());
        for (int id : {1001, 1011, 1012}) {
            const Rect r = platform->controlRect(id);
            const QRect g = platform->control(id)->geometry();
            QCOMPARE(QRect(r.left - origin.x, r.top - origin.y, r.width(), r.height()), g);
        }
    }

    void dialogIsCentredOnTheScreen() {
        platform->build(*handler);
        const QRect screen = platform->dialog()->screen()->availableGeometry();
        const QRect frame = platform->dialog()->frameGeometry();
        QVERIFY(std::abs(frame.center().x() - screen.center().x()) <= 1);
        QVERIFY(std::abs(frame.center().y() - screen.center().y()) <= 1);
    }

    void tileArtworkHasSixteenDistinctBevelledImages() {
        platform->build(*handler);
        Surface tiles;
        QVERIFY(platform->loadTileArtwork(tiles));
        QCOMPARE(tiles.width, 256);
        QCOMPARE(tiles.height, 256);
        const auto luminance = [](Color c) {
            return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
        };
        std::vector<std::vector<Color>> images;
        for (int t = 1; t < 16; ++t) {
            const int x0 = 64 * (t % 4), y0 = 64 * (t / 4);
            // Lavender: blue above green, red near blue; lit top-left, shaded bottom-right.
            const Color faceColour = tiles.at(x0 + 12, y0 + 12);
            QVERIFY2(((faceColour & 0xFF) > ((faceColour >> 8) & 0xFF)),
                     qPrintable(QString::number(t)));
            QVERIFY(luminance(tiles.at(x0 + 3, y0 + 3)) > luminance(faceColour));
            QVERIFY(luminance(tiles.at(x0 + 60, y0 + 60)) < luminance(faceColour));
            int dark = 0;
            std::vector<Color> image;
            for (int y = 0; y < 64; ++y) {
                for (int x = 0; x < 64; ++x) {
                    const Color c = tiles.at(x0 + x, y0 + y);
                    image.push_back(c);
                    if (luminance(c) < 120) ++dark;
                }
            }
            QVERIFY2(dark > 40, qPrintable(QString::number(t)));  // a black number is drawn
            for (const auto& other : images) QVERIFY(other != image);
            images.push_back(image);
        }
    }

    void buttonFaceColourIsThePalettes() {
        platform->build(*handler);
        QCOMPARE(platform->buttonFaceColor(),
                 platform->dialog()->palette().color(QPalette::Button).rgb() & 0xFFFFFFu);
    }

    void paintShowsTheBoardSurfaceAtItsRectangle() {
        platform->build(*handler);
        Surface board;
        board.resize(256, 256);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                board.pixels[static_cast<size_t>(y * 256 + x)] =
                    static_cast<Color>((x << 16) | (y << 8) | 0x40);
            }
        }
        const Rect rect{4, 50, 260, 306};
        // The dialog logic repaints from inside its paint handler; that must not loop.
        handler->paintHook = [&] { platform->invalidateBoard(rect, board); };
        platform->invalidateBoard(rect, board);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        const QImage shot = platform->dialog()->grab().toImage();
        for (QPoint p : {QPoint(0, 0), QPoint(255, 0), QPoint(17, 200), QPoint(255, 255)}) {
            QCOMPARE(shot.pixel(rect.left + p.x(), rect.top + p.y()) & 0xFFFFFFu,
                     board.at(p.x(), p.y()));
        }
        QVERIFY(shot.pixel(rect.left - 1, rect.top + 10) != shot.pixel(rect.left, rect.top + 10));
        const int paintsAfterShow = handler->paints;
        QVERIFY(paintsAfterShow >= 1);
        pump(100);
        QVERIFY2(handler->paints <= paintsAfterShow + 1,
                 qPrintable(QString::number(handler->paints)));
    }

    // Text dropped on the board, and right clicks on it, reach the handler; off the
    // board neither does. The Menu key is a board key wherever it is pressed.
    void dropsAndRightClicksOnTheBoardReachTheHandler() {
        platform->build(*handler);
        Surface board;
        board.resize(256, 256);
        const Rect rect{20, 60, 276, 316};
        platform->invalidateBoard(rect, board);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        QWidget* w = platform->boardWidget();
        QMimeData text;
        text.setText(QStringLiteral("1 2 3"));
        const auto dragTo = [&](QPoint p) {
            QDragEnterEvent enter(p, Qt::CopyAction, &text, Qt::LeftButton, {});
            QApplication::sendEvent(w, &enter);
            QDragMoveEvent move(p, Qt::CopyAction, &text, Qt::LeftButton, {});
            QApplication::sendEvent(w, &move);
            return move.isAccepted();
        };
        QVERIFY(!dragTo(QPoint(rect.right + 5, rect.top + 10)));
        QVERIFY(dragTo(QPoint(rect.left + 10, rect.top + 10)));
        QDropEvent drop(QPointF(rect.left + 10, rect.top + 10), Qt::CopyAction, &text,
                        Qt::LeftButton, {});
        QApplication::sendEvent(w, &drop);
        QCOMPARE(handler->drops, (std::vector<std::string>{"1 2 3"}));

        for (QPoint p :
             {QPoint(rect.left - 1, rect.top + 5), QPoint(rect.left + 40, rect.top + 50)}) {
            QContextMenuEvent click(QContextMenuEvent::Mouse, p, w->mapToGlobal(p));
            QApplication::sendEvent(w, &click);
        }
        QCOMPARE(handler->menus.size(), size_t{1});
        QCOMPARE(QPoint(handler->menus[0].x, handler->menus[0].y),
                 QPoint(rect.left + 40, rect.top + 50));
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
        QApplication::sendEvent(platform->control(idShuffle), &menuKey);
        QCOMPARE(handler->keys, (std::vector<Key>{Key::menu}));
        QCOMPARE(handler->menus.size(), size_t{1});
    }

    void closeBoxAsksTheHandlerAndEscapeDoesNotClose() {
        platform->build(*handler);
        platform->dialog()->show();
        QVERIFY(QTest::qWaitForWindowExposed(platform->dialog()));
        QTest::keyClick(platform->dialog(), Qt::Key_Escape);
        QCOMPARE(handler->closes, 0);
        QVERIFY(platform->dialog()->isVisible());
        platform->dialog()->close();
        QCOMPARE(handler->closes, 1);
        QVERIFY(platform->dialog()->isVisible());  // until the handler ends it
        handler->closeHook = [&] { platform->endDialog(5); };
        platform->dialog()->close();
        QVERIFY(!platform->dialog()->isVisible());
        QCOMPARE(platform->dialog()->result(), 5);
    }

    void runReturnsTheResultOfEndDialog() {
        // End the dialog from its own timer, as the dialog logic would from a command.
        struct EndsOnThirdTick : RecordingHandler {
            explicit EndsOnThirdTick(QtPlatform& p) : RecordingHandler(p), platform(p) {}
            void onTimer(int id) override {
                RecordingHandler::onTimer(id);
                if (timers.size() == 3) platform.endDialog(7);
            }
            QtPlatform& platform;
        } ending(*platform);
        ending.initHook = [&] { platform->setTimer(1, 10); };
        QCOMPARE(platform->run(ending), 7);
        QCOMPARE(ending.timers, (std::vector<int>{1, 1, 1}));
        QCOMPARE(ending.inits, 1);
        // Once the dialog has ended, nothing waits on it any more.
        QVERIFY(
            !std::async(std::launch::async, [&] { return platform->sendMessage(0x8001); }).get());
    }

  private:
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<RecordingHandler> handler;
};

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
