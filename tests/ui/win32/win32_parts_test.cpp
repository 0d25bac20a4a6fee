// The facade's other parts: the layout at several sizes, the window's place kept
// in the settings, the INI file, the context menu and the key mapping.

#include <filesystem>
#include <string>

#include "tests/ui/win32/win32_test_support.h"

#include <commctrl.h>
#include "ui/dialog_ids.h"
#include "ui/dialog_template.h"
#include "ui/review_plot.h"
#include "ui/win32/context_menu.h"
#include "ui/win32/ini_settings.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/text.h"
#include "ui/win32/views/board_window.h"

namespace fifteen::ui::win32::test {
namespace {

Rect clientRectOf(HWND control, HWND dialog) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
            static_cast<int>(r.bottom)};
}

bool inside(Rect inner, Rect outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool overlap(Rect a, Rect b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST_F(Win32DialogTest, EverySizeKeepsTheControlsInsideAndTheBoardBesideThem) {
    RECT start{};
    GetClientRect(platform->dialog(), &start);
    const Size smallest = smallestClient(platform->baseUnits());
    ASSERT_EQ(start.right, smallest.width);
    ASSERT_EQ(start.bottom, smallest.height);
    int lastBoard = 0;
    for (const auto& [dw, dh] :
         {std::pair{0, 0}, {100, 0}, {0, 100}, {120, 160}, {400, 300}, {900, 700}}) {
        RECT window{};
        GetWindowRect(platform->dialog(), &window);
        RECT frame{0, 0, smallest.width + dw, smallest.height + dh};
        AdjustWindowRectExForDpi(
            &frame, static_cast<DWORD>(GetWindowLongPtrW(platform->dialog(), GWL_STYLE)), FALSE,
            static_cast<DWORD>(GetWindowLongPtrW(platform->dialog(), GWL_EXSTYLE)),
            platform->dpi());
        SetWindowPos(platform->dialog(), nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
        platform->pump(20);
        const Rect client = platform->clientRect();
        SCOPED_TRACE(std::to_string(client.width()) + "x" + std::to_string(client.height()));
        for (const ControlTemplate& t : dialogTemplate())
            EXPECT_TRUE(inside(clientRectOf(platform->control(t.id), platform->dialog()), client))
                << t.id;
        const Rect board = clientRectOf(platform->boardWindow(), platform->dialog());
        EXPECT_EQ(board.width(), board.height());
        EXPECT_TRUE(inside(board, client));
        EXPECT_GE(board.width(), lastBoard);  // the board grows with the window
        lastBoard = board.width();
        for (int id : {idOutput, idProblemGroup, idSolverGroup, idSeparator, idStatus})
            EXPECT_FALSE(overlap(board, clientRectOf(platform->control(id), platform->dialog())))
                << id;
        const Rect box = clientRectOf(platform->control(idOutput), platform->dialog());
        EXPECT_EQ(box.right,
                  client.right - (smallest.width - platform->baseUnits().toPixelsX(339)));
    }
    EXPECT_GT(lastBoard, 256);
    // Never smaller than the template: the system's smallest tracking size.
    MINMAXINFO info{};
    SendMessageW(platform->dialog(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT frame{0, 0, smallest.width, smallest.height};
    AdjustWindowRectExForDpi(
        &frame, static_cast<DWORD>(GetWindowLongPtrW(platform->dialog(), GWL_STYLE)), FALSE,
        static_cast<DWORD>(GetWindowLongPtrW(platform->dialog(), GWL_EXSTYLE)), platform->dpi());
    EXPECT_EQ(info.ptMinTrackSize.x, frame.right - frame.left);
    EXPECT_EQ(info.ptMinTrackSize.y, frame.bottom - frame.top);
}

// Moved to a screen of twice the resolution, the dialog takes the fonts, the base
// units and the board of that resolution, and lays itself out again.
TEST_F(Win32DialogTest, ANewResolutionScalesFontsUnitsAndTheBoard) {
    const DialogBaseUnits before = platform->baseUnits();
    const UINT dpi = platform->dpi();
    ASSERT_EQ(platform->shownBoard().width(), MulDiv(256, static_cast<int>(dpi), 96));
    RECT window{};
    GetWindowRect(platform->dialog(), &window);
    RECT suggested{window.left, window.top, window.left + 2 * (window.right - window.left),
                   window.top + 2 * (window.bottom - window.top)};
    SendMessageW(platform->dialog(), WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    platform->pump(20);
    EXPECT_EQ(platform->dpi(), 2 * dpi);
    const DialogBaseUnits after = platform->baseUnits();
    EXPECT_GE(after.x, 2 * before.x - 1);
    EXPECT_GE(after.y, 2 * before.y - 1);
    const Rect client = platform->clientRect();
    const Size smallest = smallestClient(after);
    EXPECT_GE(client.width(), smallest.width);
    EXPECT_GE(client.height(), smallest.height);
    EXPECT_GE(platform->shownBoard().width(), MulDiv(512, static_cast<int>(dpi), 96));
    // Every control at the new units, the status line's font twice as tall.
    const DialogLayout layout = layOutDialog(after, Size{client.width(), client.height()});
    for (const auto& [id, r] : layout.controls) {
        const Rect placed = clientRectOf(platform->control(id), platform->dialog());
        EXPECT_EQ(placed.left, r.left) << id;
        EXPECT_EQ(placed.width(), r.width()) << id;
    }
    LOGFONTW was{}, now{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(platform->dialog(), WM_GETFONT, 0, 0)),
               sizeof was, &was);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(platform->control(idStatus), WM_GETFONT, 0, 0)),
               sizeof now, &now);
    EXPECT_EQ(std::abs(now.lfHeight), 2 * std::abs(was.lfHeight));
}

// The board the dialog logic draws is shown where the logic put it, and a click
// on the board arrives at the logic in its own client coordinates.
TEST_F(Win32DialogTest, TheBoardShowsTheLogicsSurfaceAndAnswersInItsCoordinates) {
    const Rect shown = platform->shownBoard();
    ASSERT_EQ(shown.width(), MulDiv(256, static_cast<int>(platform->dpi()), 96));
    Surface surface;
    surface.resize(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
            surface.pixels[static_cast<size_t>(y * 256 + x)] =
                static_cast<Color>((x << 16) | (y << 8) | 0x40);
    }
    const Rect logic{shown.left, shown.top, shown.left + 256, shown.top + 256};
    platform->invalidateBoard(logic, surface);
    EXPECT_EQ(platform->logicBoard().left, logic.left);
    if (platform->dpi() == 96) {
        const Surface painted = platform->board()->render();
        ASSERT_EQ(painted.width, 256);
        for (const auto& [x, y] : {std::pair{0, 0}, {255, 0}, {17, 200}, {255, 255}})
            EXPECT_EQ(painted.at(x, y), surface.at(x, y)) << x << "," << y;
    }
    // A click 40, 30 pixels into the shown board.
    RECT window{};
    GetWindowRect(platform->boardWindow(), &window);
    POINT inside{shown.left + 40, shown.top + 30};
    ClientToScreen(platform->dialog(), &inside);
    const LPARAM at = MAKELPARAM(inside.x - window.left, inside.y - window.top);
    SendMessageW(platform->boardWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(platform->boardWindow(), WM_LBUTTONUP, 0, at);
    ASSERT_EQ(handler->presses.size(), 2u);
    const Point expected = boardPointToLogic(logic, shown, Point{shown.left + 40, shown.top + 30});
    EXPECT_EQ(handler->presses[0].x, expected.x);
    EXPECT_EQ(handler->presses[0].y, expected.y);
    EXPECT_EQ(platform->focusedControl(), focusBoard);
}

// The review's plot stands in the output box's place, there at every size, until
// the box is given back.
TEST_F(Win32DialogTest, ThePlotTakesTheOutputBoxsPlaceAndGivesItBack) {
    ReviewPlot plot;
    plot.startLength = 4;
    plot.distances = {3, 4, 3, 2, 1, 0};
    plot.lost = {2};
    plot.top = 4;
    plot.summary = "6 moves, 2 more than optimal";
    platform->showReviewPlot(&plot);
    HWND shown = platform->plotWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(shown, GWL_STYLE) & WS_VISIBLE);
    const auto samePlace = [&] {
        const Rect a = clientRectOf(shown, platform->dialog());
        const Rect b = clientRectOf(platform->control(idOutput), platform->dialog());
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(samePlace());
    RECT window{};
    GetWindowRect(platform->dialog(), &window);
    SetWindowPos(platform->dialog(), nullptr, 0, 0, window.right - window.left + 150,
                 window.bottom - window.top + 90, SWP_NOMOVE | SWP_NOZORDER);
    platform->pump(20);
    EXPECT_TRUE(samePlace());
    platform->showReviewPlot(nullptr);
    EXPECT_FALSE(GetWindowLongPtrW(shown, GWL_STYLE) & WS_VISIBLE);
}

TEST(Win32WindowPlace, KeptSizeAndPlaceAreUsedAndSavedAtTheEnd) {
    MemorySettings settings;
    {
        Win32Platform platform;
        RecordingHandler handler(platform);
        platform.keepWindowIn(settings);
        platform.build(handler);
        const Rect client = platform.clientRect();
        // Nothing kept: centred on the screen.
        const Rect window = platform.windowRect();
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_LE(std::abs((window.left + window.right) / 2 - (work.left + work.right) / 2), 1);
        settings.setInt(settingKeys::windowX, 40);
        settings.setInt(settingKeys::windowY, 30);
        settings.setInt(settingKeys::windowWidth, client.width() + 60);
        settings.setInt(settingKeys::windowHeight, client.height() + 50);
    }
    Win32Platform platform;
    RecordingHandler handler(platform);
    platform.keepWindowIn(settings);
    platform.build(handler);
    const Rect window = platform.windowRect();
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 30);
    // As large as it was, as far as the screen allows and never below the template.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const Size smallest = smallestClient(platform.baseUnits());
    const int keptWidth = settings.intValue(settingKeys::windowWidth, 0, 0, 9999);
    EXPECT_EQ(
        platform.clientRect().width(),
        std::max(std::min(keptWidth, static_cast<int>(work.right - work.left)), smallest.width));
    SetWindowPos(platform.dialog(), nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    platform.endDialog(0);
    EXPECT_EQ(settings.intValue(settingKeys::windowX, 0, -9999, 9999), 70);
    EXPECT_EQ(settings.intValue(settingKeys::windowY, 0, -9999, 9999), 80);
}

class IniSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder =
            std::filesystem::path(temp) / ("fifteen-ini-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST_F(IniSettingsTest, ValuesRoundTripThroughTheFileAndClearForgetsThem) {
    const std::wstring file = (folder / L"fifteen" / L"fifteen.ini").wstring();
    {
        IniSettings settings(file);
        EXPECT_EQ(settings.value(settingKeys::playbackSpeed), std::nullopt);
        settings.setInt(settingKeys::windowX, -120);
        settings.setBool(settingKeys::showOptimalMoves, true);
        settings.setValue(settingKeys::playbackSpeed, "3");
        settings.setValue("plain", "");
    }
    ASSERT_TRUE(std::filesystem::exists(file));
    IniSettings again(file);
    EXPECT_EQ(again.intValue(settingKeys::windowX, 0, -1000, 1000), -120);
    EXPECT_TRUE(again.boolValue(settingKeys::showOptimalMoves, false));
    EXPECT_EQ(again.value(settingKeys::playbackSpeed), std::optional<std::string>("3"));
    EXPECT_EQ(again.value("plain"), std::optional<std::string>(""));
    EXPECT_EQ(again.value(settingKeys::windowY), std::nullopt);
    again.clear();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(IniSettings(file).value(settingKeys::windowX), std::nullopt);
}

TEST_F(IniSettingsTest, TheUsersFileIsInAppData) {
    const std::wstring appData = folder.wstring();
    ASSERT_TRUE(SetEnvironmentVariableW(L"APPDATA", appData.c_str()));
    IniSettings settings;
    EXPECT_EQ(settings.fileName(), appData + L"\\fifteen\\fifteen.ini");
    settings.setInt(settingKeys::windowWidth, 640);
    EXPECT_TRUE(std::filesystem::exists(folder / L"fifteen" / L"fifteen.ini"));
}

TEST(ContextMenu, EntriesCarryTheirTextsShortcutsChecksAndGroups) {
    const std::vector<MenuItem> items = {
        {10, "Copy position", "Ctrl+C", true},
        {11, "Paste position", "Ctrl+V", false},
        {12, "Show optimal moves", "H", true, true, true, true},
        {13, "Stronger tables", "T", true, true, false},
        {14, "Fish & chips", "", true, false, false, true},
    };
    HMENU menu = buildMenu(items);
    ASSERT_EQ(GetMenuItemCount(menu), 7);  // two separators
    const auto text = [&](UINT position) {
        wchar_t buffer[128] = {};
        GetMenuStringW(menu, position, buffer, 128, MF_BYPOSITION);
        return std::wstring(buffer);
    };
    EXPECT_EQ(text(0), L"Copy position\tCtrl+C");
    EXPECT_EQ(text(1), L"Paste position\tCtrl+V");
    EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(text(3), L"Show optimal moves\tH");
    EXPECT_EQ(text(6), L"Fish && chips");
    EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, 4, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(menu, 5, MF_BYPOSITION) & MF_SEPARATOR);
    DestroyMenu(menu);
}

// The menu waits for the user; closed without a choice it answers -1, and the
// entry chosen with the keyboard answers its action.
TEST_F(Win32DialogTest, PopupMenuAnswersTheChosenActionOrNone) {
    const std::vector<MenuItem> items = {{21, "First", "", true}, {22, "Second", "", true}};
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    EXPECT_EQ(platform->popupMenu(items, Point{40, 40}), -1);
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        // The menu window of the menu being tracked.
        HWND menu = FindWindowW(L"#32768", nullptr);
        for (const int vk : {VK_DOWN, VK_DOWN, VK_RETURN}) {
            PostMessageW(menu, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
            PostMessageW(menu, WM_KEYUP, static_cast<WPARAM>(vk),
                         static_cast<LPARAM>(1u | (3u << 30)));
        }
    });
    EXPECT_EQ(platform->popupMenu(items, Point{40, 40}), 22);
}

// Each control's tooltip says what it does, and a button's its Alt+letter.
TEST_F(Win32DialogTest, ControlsExplainThemselvesInTooltips) {
    HWND tips = nullptr;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (GetWindow(w, GW_OWNER) == platform->dialog() && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0)
            tips = w;
    }
    ASSERT_NE(tips, nullptr);
    const auto tipOf = [&](HWND control) {
        wchar_t text[512] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = platform->dialog();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text);
    };
    EXPECT_EQ(tipOf(platform->control(idSolve)), L"Find an optimal solution of the board (Alt+O)");
    EXPECT_EQ(tipOf(platform->control(idOutput)),
              L"The problem and its optimal solution; the current move is marked");
    EXPECT_EQ(tipOf(platform->boardWindow()).rfind(L"Right / Left: step", 0), 0u);
}

TEST(KeyMapping, VirtualKeysAreTheBoardsKeys) {
    const Modifiers none{}, shift{true, false, false}, control{false, true, false};
    EXPECT_EQ(boardKeyOf(VK_LEFT, none), Key::left);
    EXPECT_EQ(boardKeyOf(VK_OEM_PLUS, shift), Key::faster);  // '+' on a US layout
    EXPECT_EQ(boardKeyOf(VK_OEM_PLUS, none), Key::faster);
    EXPECT_EQ(boardKeyOf(VK_OEM_MINUS, none), Key::slower);
    EXPECT_EQ(boardKeyOf(VK_INSERT, shift), Key::paste);
    EXPECT_EQ(boardKeyOf(VK_INSERT, control), Key::copy);
    EXPECT_EQ(boardKeyOf('Z', Modifiers{true, true, false}), Key::redo);
    EXPECT_EQ(boardKeyOf('Y', control), Key::redo);
    EXPECT_EQ(boardKeyOf(VK_APPS, none), Key::menu);
    EXPECT_EQ(boardKeyOf(VK_LEFT, Modifiers{false, false, true}), std::nullopt);
    EXPECT_EQ(boardKeyOf('Q', none), std::nullopt);
    EXPECT_EQ(mnemonicButton('O', Modifiers{false, false, true}), idSolve);
    EXPECT_EQ(mnemonicButton('O', none), 0);
    EXPECT_EQ(mnemonicButton('Q', Modifiers{false, false, true}), 0);
}

}  // namespace
}  // namespace fifteen::ui::win32::test
