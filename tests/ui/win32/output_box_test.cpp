// The output box: byte offsets of the dialog logic's UTF-8 text (with "\r\n")
// mapped onto the RichEdit's characters, the dim of a stale report and the mark
// of the current move on exactly the characters named, the mark scrolled into
// view, and the stale note above the box.

#include <richedit.h>

#include <random>
#include <string>

#include "tests/ui/win32/win32_test_support.h"
#include "ui/dialog_ids.h"
#include "ui/win32/output_box.h"
#include "ui/win32/text.h"

namespace fifteen::ui::win32::test {
namespace {

// A text of lines of ASCII, two-, three- and four-byte characters, ended by "\r\n".
std::string randomText(std::mt19937& random, int lines) {
    static const char* const pieces[] = {
        "a", "Z", "7", " ", "\xC3\xA9", "\xE2\x86\x92", "\xF0\x9F\x99\x82", "moves", "/"};
    std::string text;
    for (int line = 0; line < lines; ++line) {
        const int length = static_cast<int>(random() % 20);
        for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
        text += "\r\n";
    }
    return text;
}

// The box's characters [begin, end) as UTF-16.
std::wstring boxRange(HWND box, LONG begin, LONG end) {
    std::wstring buffer(static_cast<size_t>(end - begin) + 1, L'\0');
    TEXTRANGEW range{{begin, end}, buffer.data()};
    const auto got = SendMessageW(box, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    buffer.resize(static_cast<size_t>(got));
    return buffer;
}

// The dialog logic's text as the box holds it: one "\r" per line end.
std::wstring asBoxHolds(std::string_view utf8) {
    std::wstring wide = widen(utf8), out;
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') continue;
        out += wide[i] == L'\n' ? L'\r' : wide[i];
    }
    return out;
}

CHARFORMAT2W formatAt(HWND box, LONG position) {
    CHARRANGE one{position, position + 1};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

// The start offsets of the characters of text (never inside one, never at "\n" of "\r\n").
std::vector<int> characterStarts(const std::string& text) {
    std::vector<int> starts;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;
        if (byte == '\n' && i > 0 && text[i - 1] == '\r') continue;
        starts.push_back(static_cast<int>(i));
    }
    starts.push_back(static_cast<int>(text.size()));
    return starts;
}

TEST_F(Win32DialogTest, ByteOffsetsNameTheSameCharactersInTheBox) {
    std::mt19937 random(20261209);
    HWND box = platform->control(idOutput);
    for (int round = 0; round < 6; ++round) {
        const std::string text = randomText(random, 1 + round * 3);
        platform->setControlText(idOutput, text);
        const std::wstring held = asBoxHolds(text);
        ASSERT_EQ(boxRange(box, 0, richEditPosition(text, static_cast<int>(text.size()))), held);
        const std::vector<int> starts = characterStarts(text);
        for (int k = 0; k < 20; ++k) {
            int a = starts[random() % starts.size()], b = starts[random() % starts.size()];
            if (a > b) std::swap(a, b);
            const std::wstring expected = asBoxHolds(
                std::string_view(text).substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
            EXPECT_EQ(boxRange(box, richEditPosition(text, a), richEditPosition(text, b)), expected)
                << "round " << round << " [" << a << ", " << b << ")";
        }
    }
}

TEST_F(Win32DialogTest, StaleAndMarkLandOnTheNamedCharacters) {
    std::mt19937 random(7);
    HWND box = platform->control(idOutput);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT), highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (int round = 0; round < 4; ++round) {
        const std::string text = randomText(random, 6);
        const std::vector<int> starts = characterStarts(text);
        platform->setControlText(idOutput, text);
        const int staleEnd = starts[random() % starts.size()];
        int markBegin = starts[random() % starts.size()],
            markEnd = starts[random() % starts.size()];
        if (markBegin > markEnd) std::swap(markBegin, markEnd);
        if (markBegin == markEnd) continue;
        platform->setOutputStale("Stale: another board", staleEnd);
        platform->markOutput(markBegin, markEnd);
        const LONG dimTo = richEditPosition(text, staleEnd);
        const LONG from = richEditPosition(text, markBegin), to = richEditPosition(text, markEnd);
        const LONG all = richEditPosition(text, static_cast<int>(text.size()));
        for (LONG c = 0; c < all; ++c) {
            const CHARFORMAT2W cf = formatAt(box, c);
            const bool marked = c >= from && c < to;
            EXPECT_EQ(marked, (cf.dwEffects & CFE_BOLD) != 0) << c;
            if (marked) {
                EXPECT_EQ(cf.crBackColor, highlight) << c;
            } else {
                EXPECT_TRUE(cf.dwEffects & CFE_AUTOBACKCOLOR) << c;
                const bool dim = c < dimTo;
                EXPECT_EQ(dim, !(cf.dwEffects & CFE_AUTOCOLOR) && cf.crTextColor == grey) << c;
            }
        }
    }
    // An empty note takes the dim and the note away; begin == end the mark.
    platform->setOutputStale("", 0);
    platform->markOutput(0, 0);
    const CHARFORMAT2W cf = formatAt(box, 0);
    EXPECT_TRUE(cf.dwEffects & CFE_AUTOCOLOR);
    EXPECT_FALSE(cf.dwEffects & CFE_BOLD);
    EXPECT_FALSE(GetWindowLongPtrW(platform->staleNote(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Win32DialogTest, TheStaleNoteStandsJustAboveTheOutputBox) {
    platform->setOutputStale("Stale: the board has changed", 5);
    HWND note = platform->staleNote();
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(note, GWL_STYLE) & WS_VISIBLE);
    wchar_t text[64] = {};
    GetWindowTextW(note, text, 64);
    EXPECT_EQ(std::wstring(text), L"Stale: the board has changed");
    RECT n{}, b{};
    GetWindowRect(note, &n);
    GetWindowRect(platform->control(idOutput), &b);
    EXPECT_EQ(n.bottom, b.top);
    EXPECT_EQ(n.left, b.left);
    EXPECT_GT(n.bottom - n.top, 0);
}

TEST_F(Win32DialogTest, TheMarkIsScrolledIntoViewAndTheSelectionStays) {
    HWND box = platform->control(idOutput);
    std::string text;
    for (int line = 0; line < 200; ++line) text += "line " + std::to_string(line) + "\r\n";
    platform->setControlText(idOutput, text);
    CHARRANGE chosen{2, 4};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&chosen));
    for (int line : {150, 20, 199, 0, 90}) {
        const std::string wanted = "line " + std::to_string(line) + "\r\n";
        const int begin = static_cast<int>(text.find(wanted));
        platform->markOutput(begin, begin + static_cast<int>(wanted.size()) - 2);
        platform->pump(10);
        RECT client{};
        GetClientRect(box, &client);
        POINTL at{};
        SendMessageW(box, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at),
                     richEditPosition(text, begin));
        EXPECT_GE(at.y, 0) << line;
        EXPECT_LT(at.y, client.bottom) << line;
        CHARRANGE now{};
        SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&now));
        EXPECT_EQ(now.cpMin, 2);
        EXPECT_EQ(now.cpMax, 4);
    }
}

}  // namespace
}  // namespace fifteen::ui::win32::test
