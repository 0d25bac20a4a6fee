#pragma once

// The platform layer over Qt 6 Widgets: a facade over the parts in ui/qt/ (the
// dialog template laid out in dialog units, the window, the board widget, the
// cross-thread call queue), with timers by identifier. Calls from other threads
// are carried to the GUI thread and waited for.

#include <QMargins>
#include <QPointer>

#include <map>

#include "ui/platform.h"
#include "ui/qt/call_queue.h"
#include "ui/qt/dialog_fonts.h"
#include "ui/settings.h"

class QDialog;
class QImage;
class QTimer;
class QWidget;

namespace fifteen::ui {

class BoardWidget;
class DialogWindow;
class PlotWidget;

class QtPlatform : public Platform {
  public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // Where the window's place is kept between runs (before build); settings must
    // outlive the platform. Without one the window always opens centred.
    void keepWindowIn(Settings& settings) { settings_ = &settings; }

    // Builds the dialog (centred, or where it was last closed; not yet shown), calls
    // handler.onInit, runs the dialog modally and returns the result passed to endDialog.
    int run(DialogHandler& handler);

    // The two halves of run, for tests that drive the dialog without a modal loop.
    void build(DialogHandler& handler);
    QDialog* dialog() const;
    QWidget* control(int controlId) const;
    // Where the pointer, drops and right clicks on the board arrive (the keyboard
    // focus of the board is the dialog's).
    QWidget* boardWidget() const;
    DialogBaseUnits baseUnits() const { return units_; }
    // The board image as the next paint will show it, and where.
    const QImage& boardImage() const;
    Rect boardRect() const;

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
    // The line above the output box that marks a stale report (null until the
    // first mark).
    QWidget* staleNote() const { return staleNote_; }
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

    // The board widget.
    void confineCursor(Rect screen) override;
    void releaseCursor() override;
    bool loadTileArtwork(Surface& tiles) override;
    Color buttonFaceColor() const override;
    void invalidateBoard(Rect board, const Surface& surface) override;
    void setBoardTiles(const BoardTiles& tiles) override;

    void setClipboardText(std::string_view text) override;
    std::string clipboardText() const override;
    int popupMenu(const std::vector<MenuItem>& items, Point client) override;

    // The optimal moves' marks, the review plot and the text input.
    void setBoardMarks(const BoardMarks& marks) override;
    void setBoardNote(std::string_view text) override;
    void showReviewPlot(const ReviewPlot* plot) override;
    std::optional<std::string> askText(const TextRequest& request) override;
    // The plot in the output box's place (null until the first plot).
    QWidget* plotWidget() const;

    void endDialog(int result) override;

  private:
    // The controls where the template puts them at the dialog's smallest size; a
    // larger window grows the board and gives the rest to the output box.
    void layOut();
    void placeWindow();
    void saveWindowPlace() const;
    void showOutputMark();

    // Runs f on the GUI thread, from whichever thread (see CallHandover::run).
    bool onGuiThread(const std::function<void()>& f) const { return calls_.run(f); }

    DialogHandler* handler_ = nullptr;
    QPointer<DialogWindow> dialog_;
    BoardWidget* board_ = nullptr;  // a child of dialog_
    std::map<int, QWidget*> controls_;
    QWidget* staleNote_ = nullptr;  // a child of dialog_
    PlotWidget* plot_ = nullptr;    // a child of dialog_
    std::map<int, QTimer*> timers_;
    Settings* settings_ = nullptr;
    int markBegin_ = 0;  // Platform::markOutput's, in controlText's offsets
    int markEnd_ = 0;
    int staleEnd_ = 0;  // Platform::setOutputStale's; 0: nothing dimmed
    DialogBaseUnits units_{};
    // The window frame as it was when the dialog was built: a window manager adds
    // its frame only once the dialog is shown, and the dialog logic keeps offsets
    // inside the window rectangle from start-up on.
    QMargins frameMargins_;
    CallQueue calls_;
};

}  // namespace fifteen::ui
