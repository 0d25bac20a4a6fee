#include "ui/win32/views/ask_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "ui/win32/text.h"
#include "ui/win32/views/gdi.h"

namespace fifteen::ui::win32 {

namespace {

// Dialog units of the template.
constexpr short margin = 7;
constexpr short width = 230;
constexpr short labelHeight = 8;
constexpr short editHeight = 14;
constexpr short buttonWidth = 50;
constexpr short buttonHeight = 14;
constexpr short gap = 6;

// Writes a DLGTEMPLATE and its items into WORDs, in the layout the dialog
// manager reads (each item on a DWORD boundary).
class TemplateWriter {
  public:
    void dialog(DWORD style, short cx, short cy, WORD items) {
        dword(style);
        dword(0);  // extended style
        words_.push_back(items);
        shorts({0, 0, cx, cy});
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the dialog class
        string(L"");          // the title is set when it starts
        words_.push_back(9);  // point size of the shell font
        string(L"MS Shell Dlg");
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
              const wchar_t* text) {
        if (words_.size() % 2) words_.push_back(0);
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        shorts({x, y, cx, cy});
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(classAtom);
        string(text);
        words_.push_back(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void shorts(std::initializer_list<short> values) {
        for (const short v : values) words_.push_back(static_cast<WORD>(v));
    }
    void string(const wchar_t* text) {
        for (; *text; ++text) words_.push_back(static_cast<WORD>(*text));
        words_.push_back(0);
    }
    // DWORD-aligned, as the template must be.
    std::vector<WORD> words_;
};

struct Ask {
    const TextRequest& request;
    std::optional<std::string> answer;
};

// Moves a control of dialog down by dy pixels.
void moveDown(HWND dialog, int id, int dy) {
    const HWND control = GetDlgItem(dialog, id);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(control, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The label may run to more lines than the template holds: it grows to its
// text, and what lies below moves down with the dialog's bottom.
void fitLabel(HWND dialog, const std::wstring& label) {
    const HWND control = GetDlgItem(dialog, askTextLabelId);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    RECT needed{0, 0, r.right - r.left, 0};
    const HDC dc = GetDC(control);
    {
        const Selection font(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    }
    ReleaseDC(control, dc);
    const int grow = needed.bottom - (r.bottom - r.top);
    if (grow <= 0) return;
    SetWindowPos(control, nullptr, 0, 0, r.right - r.left, needed.bottom,
                 SWP_NOMOVE | SWP_NOZORDER);
    for (const int id : {askTextEditId, IDOK, IDCANCEL}) moveDown(dialog, id, grow);
    RECT outer;
    GetWindowRect(dialog, &outer);
    SetWindowPos(dialog, nullptr, outer.left, outer.top - grow / 2, outer.right - outer.left,
                 outer.bottom - outer.top + grow, SWP_NOZORDER);
}

INT_PTR CALLBACK askProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* ask = reinterpret_cast<const Ask*>(lParam);
            const TextRequest& request = ask->request;
            SetWindowTextW(dialog, widen(request.title).c_str());
            std::wstring label = widen(request.label);
            SetDlgItemTextW(dialog, askTextLabelId, label.c_str());
            fitLabel(dialog, label);
            const HWND edit = GetDlgItem(dialog, askTextEditId);
            SetWindowTextW(edit, widen(request.initial).c_str());
            const int length = GetWindowTextLengthW(edit);
            int begin = utf16Offset(request.initial, request.selectBegin);
            int end = utf16Offset(request.initial, request.selectEnd);
            if (begin == end) begin = end = length;  // the cursor at the end
            SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(begin), end);
            SetFocus(edit);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* ask = reinterpret_cast<Ask*>(GetWindowLongPtrW(dialog, DWLP_USER));
                const HWND edit = GetDlgItem(dialog, askTextEditId);
                std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
                text.resize(static_cast<size_t>(
                    GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
                ask->answer = narrow(text);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

int utf16Offset(std::string_view text, int byteOffset) {
    const size_t bytes =
        std::clamp<size_t>(static_cast<size_t>(std::max(byteOffset, 0)), 0, text.size());
    return static_cast<int>(widen(text.substr(0, bytes)).size());
}

std::optional<std::string> askText(HWND owner, const TextRequest& request) {
    const short inner = width - 2 * margin;
    const short editTop = margin + labelHeight + 3;
    const short buttonsTop = editTop + editHeight + gap;
    const short height = buttonsTop + buttonHeight + margin;
    TemplateWriter writer;
    writer.dialog(
        DS_SETFONT | DS_FIXEDSYS | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
        width, height, 4);
    writer.item(SS_LEFT | SS_NOPREFIX, margin, margin, inner, labelHeight, askTextLabelId, 0x0082,
                L"");
    writer.item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, margin, editTop, inner, editHeight,
                askTextEditId, 0x0081, L"");
    writer.item(WS_TABSTOP | BS_DEFPUSHBUTTON,
                static_cast<short>(width - margin - 2 * buttonWidth - 4), buttonsTop, buttonWidth,
                buttonHeight, IDOK, 0x0080, L"OK");
    writer.item(WS_TABSTOP | BS_PUSHBUTTON, static_cast<short>(width - margin - buttonWidth),
                buttonsTop, buttonWidth, buttonHeight, IDCANCEL, 0x0080, L"Cancel");
    Ask ask{request, std::nullopt};
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), writer.get(), owner,
                                                   &askProc, reinterpret_cast<LPARAM>(&ask));
    if (result != IDOK) return std::nullopt;
    return ask.answer;
}

}  // namespace fifteen::ui::win32
