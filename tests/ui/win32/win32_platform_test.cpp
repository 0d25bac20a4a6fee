// The Win32 facade under a recording handler: commands from the buttons, controls
// read back, the call queue's order and closing rule, timers by identifier, keys
// routed before the dialog manager, focus, geometry and the clipboard.

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "tests/ui/win32/win32_test_support.h"

#include <richedit.h>
#include "ui/dialog_ids.h"
#include "ui/dialog_template.h"

namespace fifteen::ui::win32::test {
namespace {

using std::chrono::milliseconds;

TEST_F(Win32DialogTest, BuildCallsInitOnceAndEveryControlOfTheTemplateIsThere) {
    EXPECT_EQ(handler->inits, 1);
    for (const ControlTemplate& t : dialogTemplate()) {
        HWND w = platform->control(t.id);
        ASSERT_NE(w, nullptr) << t.id;
        EXPECT_EQ(GetParent(w), platform->dialog());
        EXPECT_EQ(platform->controlText(t.id), t.text) << t.id;
    }
    wchar_t cls[64] = {};
    GetClassNameW(platform->control(idOutput), cls, 64);
    EXPECT_EQ(lstrcmpiW(cls, L"RICHEDIT50W"), 0) << cls;
    const auto style = GetWindowLongPtrW(platform->control(idOutput), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    // A report longer than the box scrolls rather than being cut off.
    std::string longReport;
    for (int line = 0; line < 100; ++line) longReport += "move " + std::to_string(line) + "\r\n";
    platform->setControlText(idOutput, longReport);
    platform->pump(20);
    EXPECT_TRUE(GetWindowLongPtrW(platform->control(idOutput), GWL_STYLE) & WS_VSCROLL);
    // The program's icon in the title bar and the task bar.
    EXPECT_NE(SendMessageW(platform->dialog(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageW(platform->dialog(), WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(Win32DialogTest, ButtonClicksSendTheirCommandAndCheckBoxesToggleFirst) {
    for (int id : {idShuffle, idReset, idSolve, idCancel, idTrace})
        SendMessageW(platform->control(id), BM_CLICK, 0, 0);
    platform->pump(20);
    EXPECT_EQ(handler->commands,
              (std::vector<int>{idShuffle, idReset, idSolve, idCancel, idTrace}));
    EXPECT_EQ(handler->checkedAtCommand, std::vector<bool>(5, false));
    handler->commands.clear();
    handler->checkedAtCommand.clear();
    for (int id : {idBackward, idDirectDrag, idBackward})
        SendMessageW(platform->control(id), BM_CLICK, 0, 0);
    EXPECT_EQ(handler->commands, (std::vector<int>{idBackward, idDirectDrag, idBackward}));
    EXPECT_EQ(handler->checkedAtCommand, (std::vector<bool>{true, true, false}));
    // Setting the state is not a click.
    platform->setCheck(idDirectDrag, false);
    EXPECT_FALSE(platform->isChecked(idDirectDrag));
    platform->setCheck(idBackward, true);
    EXPECT_TRUE(platform->isChecked(idBackward));
    EXPECT_EQ(handler->commands.size(), 3u);
}

TEST_F(Win32DialogTest, ControlsReadBackWhatWasSet) {
    platform->setControlText(idStatus, " Backward 3 moves");
    EXPECT_EQ(platform->controlText(idStatus), " Backward 3 moves");
    platform->setControlText(idSeconds, "   12 sec");
    EXPECT_EQ(platform->controlText(idSeconds), "   12 sec");
    platform->setControlText(idOutput, "Optimal solution\r\nline two \xE2\x86\x92\r\n");
    EXPECT_EQ(platform->controlText(idOutput), "Optimal solution\r\nline two \xE2\x86\x92\r\n");
    platform->setCaption("fifteen 0.1 \xC3\xA9");
    wchar_t caption[64] = {};
    GetWindowTextW(platform->dialog(), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"fifteen 0.1 \u00e9");
    platform->enableControl(idSolve, false);
    EXPECT_FALSE(platform->isControlEnabled(idSolve));
    EXPECT_FALSE(IsWindowEnabled(platform->control(idSolve)));
    EXPECT_TRUE(platform->isControlEnabled(idShuffle));
    platform->enableControl(idSolve, true);
    EXPECT_TRUE(IsWindowEnabled(platform->control(idSolve)));
}

TEST_F(Win32DialogTest, TheOutputBoxGetsAMonospaceFontAndTheOthersKeepTheDialogs) {
    const auto dialogFont = SendMessageW(platform->dialog(), WM_GETFONT, 0, 0);
    platform->setMonospaceFont(idOutput);
    // The face the box shows its characters in.
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(platform->control(idOutput), EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&cf));
    LOGFONTW lf{};
    lf.lfHeight = -16;
    wcscpy(lf.lfFaceName, cf.szFaceName);
    HFONT outputFont = CreateFontIndirectW(&lf);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, outputFont);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SIZE narrow{}, wide{};
    GetTextExtentPoint32W(dc, L"iiiiiiiiii", 10, &narrow);
    GetTextExtentPoint32W(dc, L"WWWWWWWWWW", 10, &wide);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(outputFont);
    EXPECT_EQ(narrow.cx, wide.cx) << cf.szFaceName;  // every character as wide as the next
    for (int id : {idShuffle, idStatus, idProblemGroup})
        EXPECT_EQ(SendMessageW(platform->control(id), WM_GETFONT, 0, 0), dialogFont) << id;
}

TEST_F(Win32DialogTest, TimersFireByIdentifierAndStop) {
    platform->setTimer(32770, 10);
    platform->setTimer(32771, 60000);
    ASSERT_TRUE(platform->pumpUntil(
        [&] { return std::count(handler->timers.begin(), handler->timers.end(), 32770) >= 3; },
        5000));
    EXPECT_EQ(std::count(handler->timers.begin(), handler->timers.end(), 32771), 0);
    platform->killTimer(32770);
    platform->killTimer(32771);
    const size_t stopped = handler->timers.size();
    platform->pump(100);
    EXPECT_EQ(handler->timers.size(), stopped);
    // Setting an existing timer restarts it with the new period.
    platform->setTimer(32772, 60000);
    platform->setTimer(32772, 10);
    EXPECT_TRUE(platform->pumpUntil([&] { return handler->timers.size() > stopped; }, 5000));
    EXPECT_EQ(handler->timers.back(), 32772);
}

TEST_F(Win32DialogTest, SendMessageRunsOnTheGuiThreadAndWaitsForIt) {
    std::atomic<bool> returned{false};
    bool senderWasWaiting = false;
    std::thread::id ranOn;
    handler->messageHook = [&](int) {
        ranOn = std::this_thread::get_id();
        std::this_thread::sleep_for(milliseconds(20));
        senderWasWaiting = !returned.load();
    };
    std::atomic<bool> result{false};
    std::thread sender([&] {
        result = platform->sendMessage(0x7FFE);
        returned = true;
    });
    EXPECT_TRUE(platform->pumpUntil([&] { return returned.load(); }, 5000));
    sender.join();
    EXPECT_TRUE(result.load());
    EXPECT_TRUE(senderWasWaiting);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(handler->messages, (std::vector<int>{0x7FFE}));
}

TEST_F(Win32DialogTest, ControlCallsFromAnotherThreadReachTheControls) {
    std::atomic<bool> finished{false};
    std::string readBack;
    std::thread worker([&] {
        platform->setControlText(idStatus, "Threads=4/4");
        platform->enableControl(idTrace, false);
        readBack = platform->controlText(idStatus);
        finished = true;
    });
    EXPECT_TRUE(platform->pumpUntil([&] { return finished.load(); }, 5000));
    worker.join();
    EXPECT_EQ(readBack, "Threads=4/4");
    EXPECT_FALSE(IsWindowEnabled(platform->control(idTrace)));
}

TEST_F(Win32DialogTest, AfterBeginCloseOtherThreadsReturnAtOnce) {
    platform->beginClose();
    bool sent = true;
    std::thread worker([&] {
        sent = platform->sendMessage(0x8001);
        platform->setControlText(idStatus, "late");
    });
    worker.join();  // no loop runs here: a waiting worker would hang
    platform->pump(20);
    EXPECT_FALSE(sent);
    EXPECT_TRUE(handler->messages.empty());
    EXPECT_EQ(platform->controlText(idStatus), "Solver = WD + PDB + OpenMP");
    // The GUI thread itself still works the dialog while closing.
    platform->setControlText(idStatus, "closing");
    EXPECT_EQ(platform->controlText(idStatus), "closing");
}

TEST_F(Win32DialogTest, BeginCloseReleasesASenderAlreadyWaiting) {
    std::atomic<bool> sending{false};
    std::atomic<int> result{-1};
    std::thread sender([&] {
        sending = true;
        result = platform->sendMessage(0x8001) ? 1 : 0;
    });
    while (!sending.load()) std::this_thread::yield();
    // The GUI thread is busy (it serves no messages) while the sender waits.
    std::this_thread::sleep_for(milliseconds(100));
    platform->beginClose();
    sender.join();
    EXPECT_EQ(result.load(), 0);
    platform->pump(30);  // the queued call, if still queued, must not run
    EXPECT_TRUE(handler->messages.empty());
}

TEST_F(Win32DialogTest, ClosingInsideAHandledMessageStillFinishesIt) {
    std::atomic<bool> senderBack{false};
    bool backBeforeHandled = true;
    handler->messageHook = [&](int) {
        platform->beginClose();
        std::this_thread::sleep_for(milliseconds(50));
        backBeforeHandled = senderBack.load();
    };
    bool result = false;
    std::thread sender([&] {
        result = platform->sendMessage(0x7FFE);
        senderBack = true;
    });
    EXPECT_TRUE(platform->pumpUntil([&] { return senderBack.load(); }, 5000));
    sender.join();
    EXPECT_FALSE(backBeforeHandled);
    EXPECT_TRUE(result);
}

TEST_F(Win32DialogTest, ManySendersDuringClosingNeitherHangNorRunLate) {
    std::atomic<int> delivered{0}, accepted{0};
    handler->messageHook = [&](int) { ++delivered; };
    std::vector<std::thread> senders;
    for (int i = 0; i < 4; ++i) {
        senders.emplace_back([&] {
            for (int k = 0; k < 200; ++k) {
                if (platform->sendMessage(0x7FFF)) ++accepted;
                platform->setControlText(idStatus, "x");
            }
        });
    }
    platform->pump(30);
    platform->beginClose();
    for (std::thread& t : senders) t.join();
    platform->pump(20);
    EXPECT_EQ(delivered.load(), accepted.load());
    EXPECT_EQ(static_cast<int>(handler->messages.size()), accepted.load());
}

TEST_F(Win32DialogTest, PostsRunLaterInOrderWithMessages) {
    std::vector<int> order;
    handler->messageHook = [&](int message) { order.push_back(message); };
    platform->post([&] { order.push_back(1); });
    EXPECT_TRUE(order.empty());  // not at once, even on the GUI thread
    std::atomic<bool> posted{false};
    std::thread worker([&] {
        platform->post([&] { order.push_back(2); });
        platform->post([&] { order.push_back(3); });
        posted = true;
        platform->sendMessage(0x8001);
    });
    while (!posted.load()) std::this_thread::yield();
    EXPECT_TRUE(order.empty());
    EXPECT_TRUE(platform->pumpUntil([&] { return order.size() == 4; }, 5000));
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 0x8001}));
}

TEST_F(Win32DialogTest, PostsWaitingAtCloseAreDroppedAndLaterOnesNeverRun) {
    int ran = 0;
    std::thread worker([&] { platform->post([&] { ++ran; }); });
    worker.join();
    platform->post([&] { ++ran; });
    platform->beginClose();
    std::thread late([&] { platform->post([&] { ++ran; }); });
    late.join();
    platform->pump(30);
    EXPECT_EQ(ran, 0);
}

// The arrows belong to the board whichever button has the focus, and the focus
// stays on the button; the output box keeps them for its text cursor.
TEST_F(Win32DialogTest, KeysAtAButtonGoToTheBoardAndTheOutputBoxKeepsItsOwn) {
    holdModifiers(false, false, false);
    platform->setFocus(idSolve);
    ASSERT_EQ(platform->focusedControl(), idSolve);
    for (const int vk : {VK_RIGHT, VK_LEFT, VK_HOME, VK_ADD, VK_F1, int('H'), VK_ESCAPE})
        pressKey(*platform, platform->control(idSolve), static_cast<WPARAM>(vk));
    EXPECT_EQ(handler->keys, (std::vector<Key>{Key::right, Key::left, Key::home, Key::faster,
                                               Key::help, Key::optimalMoves, Key::escape}));
    EXPECT_EQ(platform->focusedControl(), idSolve);
    EXPECT_EQ(handler->closes, 0);  // Escape is no close

    handler->keys.clear();
    platform->setFocus(idOutput);
    ASSERT_EQ(platform->focusedControl(), idOutput);
    for (const int vk : {VK_RIGHT, VK_DOWN, VK_END})
        pressKey(*platform, platform->control(idOutput), static_cast<WPARAM>(vk));
    EXPECT_TRUE(handler->keys.empty());
    pressKey(*platform, platform->control(idOutput), VK_ESCAPE);
    EXPECT_EQ(handler->keys, (std::vector<Key>{Key::escape}));

    // Ctrl+V anywhere, Ctrl+C at a button (the output box copies its selection).
    handler->keys.clear();
    holdModifiers(false, true, false);
    pressKey(*platform, platform->control(idOutput), 'C');
    pressKey(*platform, platform->control(idOutput), 'V');
    pressKey(*platform, platform->control(idShuffle), 'C');
    pressKey(*platform, platform->control(idShuffle), 'Z');
    holdModifiers(false, false, false);
    EXPECT_EQ(handler->keys, (std::vector<Key>{Key::paste, Key::copy, Key::undo}));
}

TEST_F(Win32DialogTest, KeysAtTheBoardGoToTheHandler) {
    holdModifiers(false, false, false);
    platform->setFocus(focusBoard);
    ASSERT_EQ(platform->focusedControl(), focusBoard);
    for (const int vk : {VK_UP, VK_DOWN, VK_SUBTRACT, int('T'), VK_APPS})
        pressKey(*platform, platform->boardWindow(), static_cast<WPARAM>(vk));
    holdModifiers(true, false, false);
    pressKey(*platform, platform->boardWindow(), VK_F10, false);
    holdModifiers(false, false, false);
    EXPECT_EQ(handler->keys, (std::vector<Key>{Key::up, Key::down, Key::slower, Key::strongerTables,
                                               Key::menu, Key::menu}));
    EXPECT_EQ(platform->focusedControl(), focusBoard);
}

TEST_F(Win32DialogTest, ReturnAndAltLettersPressButtons) {
    holdModifiers(false, false, false);
    platform->setFocus(idReset);
    pressKey(*platform, platform->control(idReset), VK_RETURN);
    EXPECT_EQ(handler->commands, (std::vector<int>{idReset}));
    holdModifiers(false, false, true);
    pressKey(*platform, platform->control(idReset), 'S', true);
    pressKey(*platform, platform->control(idReset), 'B', true);
    platform->enableControl(idSolve, false);
    pressKey(*platform, platform->control(idReset), 'O', true);  // disabled: nothing
    holdModifiers(false, false, false);
    EXPECT_EQ(handler->commands, (std::vector<int>{idReset, idShuffle, idBackward}));
    EXPECT_TRUE(platform->isChecked(idBackward));
    EXPECT_TRUE(handler->keys.empty());
}

TEST_F(Win32DialogTest, TabGoesRoundTheButtonsTheBoardAndTheOutputBox) {
    holdModifiers(false, false, false);
    platform->setFocus(idTrace);
    pressKey(*platform, platform->control(idTrace), VK_TAB);
    EXPECT_EQ(platform->focusedControl(), focusBoard);
    pressKey(*platform, platform->boardWindow(), VK_TAB);
    EXPECT_EQ(platform->focusedControl(), idOutput);
    pressKey(*platform, platform->control(idOutput), VK_TAB);
    EXPECT_EQ(platform->focusedControl(), idShuffle);
    // Shift+Tab goes back round, skipping a disabled button.
    platform->enableControl(idTrace, false);
    holdModifiers(true, false, false);
    pressKey(*platform, platform->control(idShuffle), VK_TAB);
    EXPECT_EQ(platform->focusedControl(), idOutput);
    pressKey(*platform, platform->control(idOutput), VK_TAB);
    EXPECT_EQ(platform->focusedControl(), focusBoard);
    pressKey(*platform, platform->boardWindow(), VK_TAB);
    EXPECT_EQ(platform->focusedControl(), idCancel);
    holdModifiers(false, false, false);
}

TEST_F(Win32DialogTest, CloseBoxAsksTheHandlerWhichEndsTheDialog) {
    SendMessageW(platform->dialog(), WM_CLOSE, 0, 0);
    EXPECT_EQ(handler->closes, 1);
    EXPECT_FALSE(platform->ended());  // until the handler ends it
    handler->closeHook = [&] { platform->endDialog(5); };
    SendMessageW(platform->dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(handler->closes, 2);
    EXPECT_TRUE(platform->ended());
    EXPECT_EQ(platform->result(), 5);
}

TEST_F(Win32DialogTest, GeometryIsInScreenCoordinates) {
    const Rect client = platform->clientRect();
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    RECT r{};
    GetClientRect(platform->dialog(), &r);
    EXPECT_EQ(client.width(), r.right);
    const Point origin = platform->clientToScreen({0, 0});
    POINT p{0, 0};
    ClientToScreen(platform->dialog(), &p);
    EXPECT_EQ(origin.x, p.x);
    EXPECT_EQ(origin.y, p.y);
    const Rect window = platform->windowRect();
    EXPECT_LE(window.left, origin.x);
    EXPECT_GE(window.right, origin.x + client.width());
    for (int id : {idProblemGroup, idOutput, idSeparator}) {
        const Rect c = platform->controlRect(id);
        RECT placed{};
        GetWindowRect(platform->control(id), &placed);
        MapWindowPoints(nullptr, platform->dialog(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(c.left - origin.x, placed.left) << id;
        EXPECT_EQ(c.top - origin.y, placed.top) << id;
        EXPECT_EQ(c.width(), placed.right - placed.left) << id;
    }
}

TEST_F(Win32DialogTest, ClipboardCarriesUnicodeTextBothWays) {
    const std::string text = "5 10 14 7 / 8 3 6 1 \xE2\x80\x94 15 0 12 9";
    platform->setClipboardText(text);
    EXPECT_EQ(platform->clipboardText(), text);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto* wide = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::wstring(wide), L"5 10 14 7 / 8 3 6 1 \u2014 15 0 12 9");
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
}

TEST_F(Win32DialogTest, RunReturnsTheResultOfEndDialog) {
    struct EndsOnThirdTick : RecordingHandler {
        explicit EndsOnThirdTick(Win32Platform& p) : RecordingHandler(p), platform(p) {}
        void onInit() override {
            RecordingHandler::onInit();
            platform.setTimer(1, 10);
        }
        void onTimer(int id) override {
            RecordingHandler::onTimer(id);
            if (timers.size() == 3) platform.endDialog(7);
        }
        Win32Platform& platform;
    };
    Win32Platform own;
    EndsOnThirdTick ending(own);
    EXPECT_EQ(own.run(ending), 7);
    EXPECT_EQ(ending.timers, (std::vector<int>{1, 1, 1}));
    // Once the dialog has ended, nothing waits on it any more.
    EXPECT_FALSE(std::async(std::launch::async, [&] { return own.sendMessage(0x8001); }).get());
}

}  // namespace
}  // namespace fifteen::ui::win32::test
