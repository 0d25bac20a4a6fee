// The Win32 facade's controls: their texts, states and fonts, the output box's
// stale mark and move mark, focus, the clipboard, the menu, the marks over the
// board, the review's plot, the text windows and the text input.

#include <algorithm>
#include <string>

#include "ui/dialog_ids.h"
#include "ui/win32/context_menu.h"
#include "ui/win32/text.h"
#include "ui/win32/views/ask_text.h"
#include "ui/win32/views/board_window.h"
#include "ui/win32/views/plot_window.h"
#include "ui/win32/views/text_windows.h"
#include "ui/win32/win32_platform.h"

namespace fifteen::ui::win32 {

namespace {

std::string windowText(HWND w) {
    const int length = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(w, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return narrow(text);
}

}  // namespace

void Win32Platform::setCaption(std::string_view text) {
    onGuiThread([&] { SetWindowTextW(dialog_, widen(text).c_str()); });
}

void Win32Platform::setControlText(int controlId, std::string_view text) {
    onGuiThread([&] {
        if (controlId == idOutput) {
            output_.setText(text);
        } else if (HWND w = control(controlId)) {
            SetWindowTextW(w, widen(text).c_str());
        }
    });
}

std::string Win32Platform::controlText(int controlId) const {
    std::string text;
    onGuiThread([&] {
        if (controlId == idOutput) {
            text = output_.text();
        } else if (HWND w = control(controlId)) {
            text = windowText(w);
        }
    });
    return text;
}

void Win32Platform::enableControl(int controlId, bool enabled) {
    onGuiThread([&] {
        HWND w = control(controlId);
        if (!w) return;
        // A disabled control keeps no focus: it goes on to the next one, as Tab would.
        if (!enabled && GetFocus() == w) SendMessageW(dialog_, WM_NEXTDLGCTL, 0, FALSE);
        EnableWindow(w, enabled);
    });
}

bool Win32Platform::isControlEnabled(int controlId) const {
    bool enabled = false;
    onGuiThread([&] {
        HWND w = control(controlId);
        enabled = w && IsWindowEnabled(w);
    });
    return enabled;
}

void Win32Platform::setCheck(int controlId, bool checked) {
    onGuiThread([&] {
        if (isCheckBoxControl(controlId))
            SendMessageW(control(controlId), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

bool Win32Platform::isChecked(int controlId) const {
    bool checked = false;
    onGuiThread(
        [&] { checked = SendMessageW(control(controlId), BM_GETCHECK, 0, 0) == BST_CHECKED; });
    return checked;
}

void Win32Platform::setMonospaceFont(int controlId) {
    onGuiThread([&] {
        if (HWND w = control(controlId))
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(outputFont_), TRUE);
        if (controlId != idOutput) return;
        // A new font resets the box's margins.
        output_.setMargins(dpi_);
        output_.refresh();
    });
}

void Win32Platform::setOutputStale(std::string_view note, int end) {
    onGuiThread([&] {
        SetWindowTextW(staleNote_, widen(note).c_str());
        ShowWindow(staleNote_, note.empty() ? SW_HIDE : SW_SHOWNA);
        output_.setStale(note.empty() ? 0 : end);
    });
}

void Win32Platform::markOutput(int begin, int end) {
    onGuiThread([&] { output_.setMark(begin, end); });
}

void Win32Platform::setBoardDescription(std::string_view text) {
    onGuiThread([&] { board_->setDescription(text); });
}

void Win32Platform::showTextWindow(std::string_view title, std::string_view text) {
    onGuiThread([&] { texts_->show(title, text); });
}

void Win32Platform::setFocus(int controlId) {
    onGuiThread([&] {
        HWND target = controlId == focusBoard ? board_->hwnd() : control(controlId);
        // Through the dialog manager, which keeps its default-button state right.
        if (target && IsWindowEnabled(target))
            SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    });
}

int Win32Platform::focusedControl() const {
    int id = -1;
    onGuiThread([&] {
        HWND focus = GetFocus();
        if (!focus) return;
        if (focus == board_->hwnd()) {
            id = focusBoard;
            return;
        }
        for (const auto& [controlId, hwnd] : controls_) {
            if (hwnd == focus) id = controlId;
        }
    });
    return id;
}

void Win32Platform::setClipboardText(std::string_view text) {
    onGuiThread([&] {
        const std::wstring wide = widen(text);
        // Another program may hold the clipboard for a moment.
        for (int attempt = 0; attempt < 20 && !OpenClipboard(dialog_); ++attempt) Sleep(10);
        EmptyClipboard();
        const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (memory) {
            auto* target = static_cast<wchar_t*>(GlobalLock(memory));
            std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, target);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        }
        CloseClipboard();
    });
}

std::string Win32Platform::clipboardText() const {
    std::string text;
    onGuiThread([&] {
        for (int attempt = 0; attempt < 20 && !OpenClipboard(dialog_); ++attempt) Sleep(10);
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = narrow(wide);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    });
    return text;
}

int Win32Platform::popupMenu(const std::vector<MenuItem>& items, Point client) {
    int chosen = -1;
    onGuiThread([&] {
        POINT at{client.x, client.y};
        ClientToScreen(dialog_, &at);
        chosen = showMenu(dialog_, items, at);
    });
    return chosen;
}

void Win32Platform::showReviewPlot(const ReviewPlot* plot) {
    onGuiThread([&] {
        plotShown_ = plot != nullptr;
        plot_->show(plot, layout_.output());
        // Over the output box, in its place.
        if (plot)
            SetWindowPos(plot_->hwnd(), HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    });
}

std::optional<std::string> Win32Platform::askText(const TextRequest& request) {
    std::optional<std::string> answer;
    onGuiThread([&] { answer = win32::askText(dialog_, request); });
    return answer;
}

}  // namespace fifteen::ui::win32
