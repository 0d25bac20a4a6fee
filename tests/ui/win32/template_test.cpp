// Resource template 101 against the table of ui/dialog_template.cpp: each control
// of the resource read back from the program's own resources, and the dialog
// built from it with every control where the table puts it.

#include <cstring>
#include <string>

#include "tests/ui/win32/win32_test_support.h"

#include <commctrl.h>
#include "ui/dialog_ids.h"
#include "ui/dialog_template.h"
#include "ui/win32/dialog_units.h"

namespace fifteen::ui::win32::test {
namespace {

struct ItemRead {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring windowClass;  // a predefined class by its name
    std::wstring text;
};

struct TemplateRead {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring font;
    std::vector<ItemRead> items;
};

// A name or ordinal field of the template: 0x0000 none, 0xFFFF and an ordinal,
// or a zero-ended string.
std::wstring readNameOrOrdinal(const WORD*& p) {
    if (*p == 0x0000) {
        ++p;
        return L"";
    }
    if (*p == 0xFFFF) {
        const WORD ordinal = p[1];
        p += 2;
        switch (ordinal) {
            case 0x0080:
                return L"Button";
            case 0x0081:
                return L"Edit";
            case 0x0082:
                return L"Static";
            default:
                return L"#" + std::to_wstring(ordinal);
        }
    }
    std::wstring s(reinterpret_cast<const wchar_t*>(p));
    p += s.size() + 1;
    return s;
}

const WORD* alignDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t{3});
}

// Class names are matched without regard to case, as the window manager does.
bool sameClass(const std::wstring& a, const wchar_t* b) {
    return lstrcmpiW(a.c_str(), b) == 0;
}

TemplateRead readTemplate() {
    TemplateRead t;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(dialogTemplateId), MAKEINTRESOURCEW(5));
    if (!found) return t;
    const auto* p = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
    // DLGTEMPLATEEX: version 1, signature 0xFFFF.
    if (p[0] != 1 || p[1] != 0xFFFF) return t;
    const auto dword = [](const WORD* at) {
        DWORD v;
        std::memcpy(&v, at, sizeof v);
        return v;
    };
    t.style = dword(p + 6);
    const WORD count = p[8];
    t.cx = static_cast<short>(p[11]);
    t.cy = static_cast<short>(p[12]);
    p += 13;
    readNameOrOrdinal(p);  // menu
    readNameOrOrdinal(p);  // class
    readNameOrOrdinal(p);  // title
    if (t.style & DS_SETFONT) {
        p += 3;  // point size, weight, italic and charset
        t.font = readNameOrOrdinal(p);
    }
    for (WORD i = 0; i < count; ++i) {
        p = alignDword(p);
        ItemRead item;
        item.style = dword(p + 4);
        item.x = static_cast<short>(p[6]);
        item.y = static_cast<short>(p[7]);
        item.cx = static_cast<short>(p[8]);
        item.cy = static_cast<short>(p[9]);
        item.id = dword(p + 10);
        p += 12;
        item.windowClass = readNameOrOrdinal(p);
        item.text = readNameOrOrdinal(p);
        const WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        t.items.push_back(item);
    }
    return t;
}

TEST(DialogResource, TemplateHoldsTheTablesControlsAtTheirRectangles) {
    const TemplateRead t = readTemplate();
    EXPECT_EQ(t.cx, dialogWidthDu);
    EXPECT_EQ(t.cy, dialogHeightDu);
    EXPECT_TRUE(t.style & WS_CAPTION);
    EXPECT_TRUE(t.style & WS_SYSMENU);
    EXPECT_TRUE(t.style & DS_SETFONT);
    const std::span<const ControlTemplate> rows = dialogTemplate();
    ASSERT_EQ(t.items.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const ControlTemplate& row = rows[i];
        const ItemRead& item = t.items[i];
        SCOPED_TRACE(row.id);
        EXPECT_EQ(item.id, static_cast<DWORD>(row.id));
        EXPECT_EQ(item.x, row.x);
        EXPECT_EQ(item.y, row.y);
        EXPECT_EQ(item.cx, row.cx);
        EXPECT_EQ(item.cy, row.cy);
        EXPECT_EQ(item.text, std::wstring(row.text, row.text + std::strlen(row.text)));
        const DWORD type = item.style & BS_TYPEMASK;
        switch (row.kind) {
            case ControlKind::groupBox:
                EXPECT_TRUE(sameClass(item.windowClass, L"Button")) << item.windowClass;
                EXPECT_EQ(type, static_cast<DWORD>(BS_GROUPBOX));
                break;
            case ControlKind::pushButton:
                EXPECT_TRUE(sameClass(item.windowClass, L"Button")) << item.windowClass;
                EXPECT_EQ(type, static_cast<DWORD>(BS_PUSHBUTTON));
                EXPECT_TRUE(item.style & WS_TABSTOP);
                break;
            case ControlKind::pushCheckBox:
                EXPECT_TRUE(sameClass(item.windowClass, L"Button")) << item.windowClass;
                EXPECT_EQ(type, static_cast<DWORD>(BS_AUTOCHECKBOX));
                EXPECT_TRUE(item.style & BS_PUSHLIKE);
                EXPECT_TRUE(item.style & WS_TABSTOP);
                break;
            case ControlKind::outputBox:
                EXPECT_TRUE(sameClass(item.windowClass, L"RICHEDIT50W")) << item.windowClass;
                EXPECT_TRUE(item.style & ES_READONLY);
                EXPECT_TRUE(item.style & ES_MULTILINE);
                EXPECT_TRUE(item.style & WS_VSCROLL);
                break;
            case ControlKind::etchedLine:
                EXPECT_TRUE(sameClass(item.windowClass, L"Static")) << item.windowClass;
                EXPECT_EQ(item.style & SS_TYPEMASK, static_cast<DWORD>(SS_ETCHEDHORZ));
                break;
            case ControlKind::leftText:
            case ControlKind::rightText:
                EXPECT_TRUE(sameClass(item.windowClass, L"Static")) << item.windowClass;
                EXPECT_EQ(item.style & SS_TYPEMASK,
                          static_cast<DWORD>(row.kind == ControlKind::leftText ? SS_LEFTNOWORDWRAP
                                                                               : SS_RIGHT));
                EXPECT_TRUE(item.style & SS_NOPREFIX);
                break;
        }
    }
}

// Built from the resource at its smallest size, each control stands where the
// dialog manager maps the table's dialog units, whenever the font's own units
// give every control its room (as they do at the program's font).
TEST_F(Win32DialogTest, ControlsStandAtTheirMappedRectangles) {
    RECT units{0, 0, 4, 8};
    MapDialogRect(platform->dialog(), &units);
    const DialogBaseUnits base = platform->baseUnits();
    ASSERT_EQ(base.x, units.right) << "the font's units were enlarged to fit";
    ASSERT_EQ(base.y, units.bottom);
    RECT client{};
    GetClientRect(platform->dialog(), &client);
    EXPECT_EQ(client.right, base.toPixelsX(dialogWidthDu));
    EXPECT_EQ(client.bottom, base.toPixelsY(dialogHeightDu));
    for (const ControlTemplate& row : dialogTemplate()) {
        // As the dialog manager creates a control: its corner and its size mapped.
        RECT mapped{row.x, row.y, row.cx, row.cy};
        MapDialogRect(platform->dialog(), &mapped);
        const RECT expected{mapped.left, mapped.top, mapped.left + mapped.right,
                            mapped.top + mapped.bottom};
        RECT shown{};
        GetWindowRect(platform->control(row.id), &shown);
        MapWindowPoints(nullptr, platform->dialog(), reinterpret_cast<POINT*>(&shown), 2);
        EXPECT_EQ(shown.left, expected.left) << row.id;
        EXPECT_EQ(shown.top, expected.top) << row.id;
        EXPECT_EQ(shown.right, expected.right) << row.id;
        EXPECT_EQ(shown.bottom, expected.bottom) << row.id;
    }
    // The base units are the dialog manager's own for the template's font.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(platform->dialog(), WM_GETFONT, 0, 0));
    const DialogBaseUnits measured = baseUnitsOf(font);
    EXPECT_EQ(measured.x, units.right);
    EXPECT_EQ(measured.y, units.bottom);
}

}  // namespace
}  // namespace fifteen::ui::win32::test
