// The text windows: one per title, shown again with the text replaced, read-only
// and monospace, owned by the dialog; and the one-line input, driven as a user
// would from a timer while it waits: the typed text comes back, Cancel gives
// nothing, and the requested part of the starting text is selected.

#include "ui/win32/views/text_windows.h"
#include "tests/ui/win32/views/views_test_support.h"
#include "ui/win32/text.h"
#include "ui/win32/views/ask_text.h"

using namespace fifteen::ui;
using namespace fifteen::ui::win32;
using namespace fifteen::ui::win32::testing;

namespace {

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST(TextWindows, OneWindowPerTitleShownAgainWithItsTextReplaced) {
    HostWindow& host = HostWindow::get();
    TextWindows windows(host.hwnd());
    EXPECT_EQ(windows.window("Help"), nullptr);
    windows.show("Help", "Keys:\n  arrows  move a tile\n  H       marks");
    windows.show("About fifteen", "fifteen 0.1.0\n");
    const HWND help = windows.window("Help");
    const HWND about = windows.window("About fifteen");
    ASSERT_NE(help, nullptr);
    ASSERT_NE(about, nullptr);
    EXPECT_NE(help, about);
    for (const HWND w : {help, about}) {
        EXPECT_TRUE(IsWindowVisible(w));
        EXPECT_EQ(GetWindow(w, GW_OWNER), host.hwnd());
        EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD);
    }
    EXPECT_EQ(textOf(help), L"Help");
    const HWND helpText = TextWindows::textBox(help);
    ASSERT_NE(helpText, nullptr);
    EXPECT_EQ(textOf(helpText), L"Keys:\r\n  arrows  move a tile\r\n  H       marks");
    EXPECT_EQ(textOf(TextWindows::textBox(about)), L"fifteen 0.1.0\r\n");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(helpText, GWL_STYLE));
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    // Monospace: the font's glyphs all one width.
    const auto font = reinterpret_cast<HFONT>(SendMessageW(helpText, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HDC dc = GetDC(helpText);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE narrowText{}, wideText{};
    GetTextExtentPoint32W(dc, L"iiiiii", 6, &narrowText);
    GetTextExtentPoint32W(dc, L"WWWWWW", 6, &wideText);
    SelectObject(dc, old);
    ReleaseDC(helpText, dc);
    EXPECT_EQ(narrowText.cx, wideText.cx);
    // Wide enough for its longest line.
    RECT box;
    GetClientRect(helpText, &box);
    EXPECT_GE(box.right, wideText.cx / 6 * 24);

    // Shown again: the same window, the new text, no third window.
    windows.show("Help", "other text\nsecond line");
    EXPECT_EQ(windows.window("Help"), help);
    EXPECT_EQ(textOf(helpText), L"other text\r\nsecond line");
    EXPECT_EQ(textOf(TextWindows::textBox(about)), L"fifteen 0.1.0\r\n");
    int windowsOfThisClass = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM count) {
            wchar_t name[64];
            GetClassNameW(w, name, 64);
            if (std::wstring(name) == L"FifteenTextWindow") ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windowsOfThisClass));
    EXPECT_EQ(windowsOfThisClass, 2);

    // Closed, it is hidden and comes back with its title.
    SendMessageW(help, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(help));
    windows.show("Help", "third");
    EXPECT_EQ(windows.window("Help"), help);
    EXPECT_TRUE(IsWindowVisible(help));
    // Esc in the text closes it too.
    SendMessageW(helpText, WM_KEYDOWN, VK_ESCAPE, 0);
    pumpMessages();
    EXPECT_FALSE(IsWindowVisible(help));
}

// What the timer found and did while the input waited.
struct Drive {
    std::wstring title;
    std::wstring type;  // typed over the text; empty: Cancel pressed
    bool cancel = false;
    bool found = false;
    std::wstring label;
    std::wstring initial;
    DWORD selBegin = 0, selEnd = 0;
    bool editHasFocus = false;
    int ticks = 0;
};
Drive* driving = nullptr;

void CALLBACK driveInput(HWND, UINT, UINT_PTR timer, DWORD) {
    Drive& drive = *driving;
    const HWND dialog = FindWindowW(L"#32770", drive.title.c_str());
    if (!dialog || !IsWindowVisible(dialog)) {
        if (++drive.ticks > 500) KillTimer(nullptr, timer);  // the test then fails
        return;
    }
    KillTimer(nullptr, timer);
    drive.found = true;
    drive.label = textOf(GetDlgItem(dialog, askTextLabelId));
    const HWND edit = GetDlgItem(dialog, askTextEditId);
    drive.initial = textOf(edit);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&drive.selBegin),
                 reinterpret_cast<LPARAM>(&drive.selEnd));
    drive.editHasFocus = GetFocus() == edit;
    SetWindowTextW(edit, drive.type.c_str());
    const int button = drive.cancel ? IDCANCEL : IDOK;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

std::optional<std::string> ask(const TextRequest& request, Drive& drive) {
    drive.title = widen(request.title);
    driving = &drive;
    SetTimer(nullptr, 0, 10, &driveInput);
    return askText(HostWindow::get().hwnd(), request);
}

TEST(AskText, ReturnsTheTypedTextWithTheRequestedPartSelected) {
    TextRequest request;
    request.title = "Check my moves";
    request.label = "Your moves, as letters or tile numbers:";
    request.initial = "\xC3\xA9t\xC3\xA9 RRDL";  // "été RRDL": two-byte letters before
    request.selectBegin = 6;                     // "RRDL", bytes 6..10
    request.selectEnd = 10;
    Drive drive;
    drive.type = L"ULDR \u00FC";
    const std::optional<std::string> answer = ask(request, drive);
    ASSERT_TRUE(drive.found);
    EXPECT_EQ(drive.label, widen(request.label));
    EXPECT_EQ(drive.initial, L"\u00E9t\u00E9 RRDL");
    EXPECT_EQ(drive.selBegin, 4u);
    EXPECT_EQ(drive.selEnd, 8u);
    EXPECT_TRUE(drive.editHasFocus);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, "ULDR \xC3\xBC");
}

TEST(AskText, CancelGivesNothingAndNoSelectionPutsTheCursorAtTheEnd) {
    TextRequest request;
    request.title = "Moves";
    request.label = "First line of the label\nand its second line, longer than the first one";
    request.initial = "abc";
    Drive drive;
    drive.type = L"typed but called off";
    drive.cancel = true;
    EXPECT_FALSE(ask(request, drive).has_value());
    ASSERT_TRUE(drive.found);
    EXPECT_EQ(drive.selBegin, 3u);
    EXPECT_EQ(drive.selEnd, 3u);
    EXPECT_EQ(drive.label, widen(request.label));
}

TEST(AskText, ByteOffsetsBecomeUtf16Positions) {
    const std::string text = "a\xC3\xA9\xF0\x9F\x98\x80z";  // a, é (2 bytes), 😀 (4 bytes), z
    EXPECT_EQ(utf16Offset(text, 0), 0);
    EXPECT_EQ(utf16Offset(text, 1), 1);
    EXPECT_EQ(utf16Offset(text, 3), 2);
    EXPECT_EQ(utf16Offset(text, 7), 4);  // a surrogate pair
    EXPECT_EQ(utf16Offset(text, 8), 5);
    EXPECT_EQ(utf16Offset(text, 99), 5);
    EXPECT_EQ(utf16Offset(text, -3), 0);
}

}  // namespace
