#pragma once

// The platform layer over Win32 and GDI: a facade over the parts in ui/win32/ (the
// dialog from resource template 101 laid out in dialog units at every size and
// resolution, its procedure and message loop, the output box, the cross-thread
// call queue) and the board, plot and text windows of ui/win32/views/, with
// timers by identifier. Calls from other threads are carried to the GUI thread
// and waited for.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "ui/dialog_layout.h"
#include "ui/platform.h"
#include "ui/settings.h"
#include "ui/win32/call_queue.h"
#include "ui/win32/output_box.h"

namespace fifteen::ui::win32 {

class BoardWindow;
class PlotWindow;
class TextWindows;

class Win32Platform : public Platform {
  public:
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Where the window's place is kept between runs (before build); settings must
    // outlive the platform. Without one the window always opens centred.
    void keepWindowIn(Settings& settings) { settings_ = &settings; }

    // Builds the dialog, shows it, runs it until endDialog and returns its result.
    int run(DialogHandler& handler);

    // The parts of run, for tests that drive the dialog themselves: build (centred,
    // or where it was last closed; not yet shown; handler.onInit called), show, and
    // the message loop for a while or until done returns true (false on timeout).
    void build(DialogHandler& handler);
    void show();
    void pump(int ms);
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs);
    bool ended() const { return ended_; }
    int result() const { return result_; }

    HWND dialog() const { return dialog_; }
    HWND control(int controlId) const;
    HWND boardWindow() const;
    BoardWindow* board() const { return board_.get(); }
    HWND staleNote() const { return staleNote_; }
    HWND plotWindow() const;
    HWND textWindow(std::string_view title) const;
    DialogBaseUnits baseUnits() const { return units_; }
    UINT dpi() const { return dpi_; }
    // The dialog logic's board rectangle and where the board is shown.
    Rect logicBoard() const { return logicBoard_; }
    Rect shownBoard() const { return shown_; }

    // Controls, caption and focus.
    void setCaption(std::string_view text) override;
    void setControlText(int controlId, std::string_view text) override;
    std::string controlText(int controlId) const;
    void enableControl(int controlId, bool enabled) override;
    bool isControlEnabled(int controlId) const;
    void setCheck(int controlId, bool checked) override;
    bool isChecked(int controlId) const;
    void setMonospaceFont(int controlId) override;
    void setOutputStale(std::string_view note, int end) override;
    void markOutput(int begin, int end) override;
    void setBoardDescription(std::string_view text) override;
    void showTextWindow(std::string_view title, std::string_view text) override;
    void setFocus(int controlId) override;
    int focusedControl() const override;

    void setTimer(int timerId, int periodMs) override;
    void killTimer(int timerId) override;

    // The call queue.
    bool sendMessage(int message) override;
    void post(std::function<void()> call) override;
    void beginClose() override;

    Rect windowRect() const override;
    Rect clientRect() const override;
    Rect controlRect(int controlId) const override;
    Point clientToScreen(Point client) const override;

    // The board window.
    void confineCursor(Rect screen) override;
    void releaseCursor() override;
    bool loadTileArtwork(Surface& tiles) override;
    Color buttonFaceColor() const override;
    void invalidateBoard(Rect board, const Surface& surface) override;
    void setBoardTiles(const BoardTiles& tiles) override;
    void setBoardMarks(const BoardMarks& marks) override;
    void setBoardNote(std::string_view text) override;

    void setClipboardText(std::string_view text) override;
    std::string clipboardText() const override;
    int popupMenu(const std::vector<MenuItem>& items, Point client) override;

    void showReviewPlot(const ReviewPlot* plot) override;
    std::optional<std::string> askText(const TextRequest& request) override;

    void endDialog(int result) override;

    // The dialog procedure's and the message loop's entries.
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A key message routed before the dialog manager sees it: true when used.
    bool routeKey(const MSG& msg);
    // One message of the loop: routed keys, the dialog manager, the window.
    void dispatch(MSG& msg);

  private:
    void layOut();
    void useDpi(UINT dpi, HFONT dialogFont);
    void placeWindow();
    void saveWindowPlace() const;
    Size windowSizeFor(Size client) const;

    bool onGuiThread(const std::function<void()>& f) const { return calls_.run(f); }

    DialogHandler* handler_ = nullptr;
    HWND dialog_ = nullptr;
    std::map<int, HWND> controls_;
    std::unique_ptr<BoardWindow> board_;
    std::unique_ptr<PlotWindow> plot_;
    std::unique_ptr<TextWindows> texts_;
    bool plotShown_ = false;
    HWND staleNote_ = nullptr;
    HWND tooltips_ = nullptr;
    OutputBox output_;
    HFONT dialogFont_ = nullptr;  // ours after a change of resolution, else the template's
    bool ownDialogFont_ = false;
    HFONT outputFont_ = nullptr;
    HICON iconBig_ = nullptr;
    HICON iconSmall_ = nullptr;
    UINT dpi_ = 96;
    DialogBaseUnits units_{};
    DialogLayout layout_;
    Rect logicBoard_{};
    Rect shown_{};
    Settings* settings_ = nullptr;
    bool oleReady_ = false;
    bool ended_ = false;
    int result_ = 0;
    CallQueue calls_;
};

}  // namespace fifteen::ui::win32
