#pragma once

// The platform layer over Qt 6 Widgets: one QDialog laid out from the dialog
// template in dialog units, the board painted from an image of the board surface,
// timers by identifier, and calls from other threads carried to the GUI thread.

#include <QFont>
#include <QImage>
#include <QMargins>
#include <QMetaObject>
#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "ui/platform.h"

class QDialog;
class QKeyEvent;
class QObject;
class QPainter;
class QTimer;
class QWidget;

namespace fifteen::ui {

class QtDialog;

// Pixels per dialog unit, from the dialog font as the window system the template
// was written for computes them.
struct DialogBaseUnits {
    int x;  // average character width
    int y;  // character height

    static DialogBaseUnits of(const QFont& font);
    int toPixelsX(int du) const;
    int toPixelsY(int du) const;
};

// The font the dialog is laid out with: the application's sans-serif family at
// the pixel size of a 10 pt font on a 96 dpi screen.
QFont dialogFont();

class QtPlatform : public Platform {
  public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // Builds the dialog (centred, not yet shown), calls handler.onInit, runs the
    // dialog modally and returns the result passed to endDialog.
    int run(DialogHandler& handler);

    // The two halves of run, for tests that drive the dialog without a modal loop.
    void build(DialogHandler& handler);
    QDialog* dialog() const;
    QWidget* control(int controlId) const;
    DialogBaseUnits baseUnits() const { return units_; }
    // The board image as the next paint will show it, and where.
    const QImage& boardImage() const { return boardImage_; }
    Rect boardRect() const { return board_; }

    void setCaption(std::string_view text) override;
    void setControlText(int controlId, std::string_view text) override;
    std::string controlText(int controlId) const override;
    void enableControl(int controlId, bool enabled) override;
    bool isControlEnabled(int controlId) const override;
    void setCheck(int controlId, bool checked) override;
    bool isChecked(int controlId) const override;
    void setMonospaceFont(int controlId) override;

    void setTimer(int timerId, int periodMs) override;
    void killTimer(int timerId) override;

    bool sendMessage(int message) override;
    void beginClose() override;

    Rect windowRect() const override;
    Rect clientRect() const override;
    Rect controlRect(int controlId) const override;
    Point clientToScreen(Point client) const override;

    void confineCursor(Rect screen) override;
    void releaseCursor() override;

    bool loadTileArtwork(Surface& tiles) override;
    Color buttonFaceColor() const override;
    void invalidateBoard(Rect board, const Surface& surface) override;
    void setBoardTiles(const BoardTiles& tiles) override;

    void endDialog(int result) override;

    void setClipboardText(std::string_view text) override;
    std::string clipboardText() const override;
    int popupMenu(const std::vector<MenuItem>& items, Point client) override;
    void setFocus(int controlId) override;
    int focusedControl() const override;

  private:
    friend class QtDialog;

    // A call handed over from another thread, waiting in pending_.
    struct PendingCall {
        const std::function<void()>* f;
        bool running = false;
        bool done = false;
    };

    // Runs f on the GUI thread and returns true once it has run there; from another
    // thread it waits for the GUI thread, but returns false without running f once
    // closing has begun, also when it was already waiting.
    bool onGuiThread(const std::function<void()>& f) const;
    // On the GUI thread, when the wake-up descriptor fires.
    void runPendingCalls();
    // The pointer position to deliver for a client point: clamped to the clip square
    // while the cursor is confined, moving the cursor back inside.
    Point confinedPoint(Point client) const;
    void paint(QWidget& target);
    // Keys: which board key a key press is, and the routing of keys that arrive
    // at a control (true when the event was used).
    static std::optional<Key> boardKey(const QKeyEvent& event);
    bool routeControlKey(QObject* control, QKeyEvent& event);
    void installKeyRouting();
    // Dotted marks around the board or the output box, whichever has the focus.
    void paintFocusMarks(QPainter& painter);
    // The board from its tiles at ratio device pixels per pixel, with whatever else
    // the surface shows scaled up over them.
    void paintSharpBoard(QPainter& painter, double ratio);
    // The tile artwork at side device pixels per tile, its blank filled as the
    // dialog logic fills its own; loads the one-to-one artwork too.
    const QImage& tileArtworkFor(int side);

    QMetaObject::Connection focusConnection_;
    DialogHandler* handler_ = nullptr;
    QPointer<QtDialog> dialog_;
    std::map<int, QWidget*> controls_;
    std::map<int, QTimer*> timers_;
    DialogBaseUnits units_{};
    QImage boardImage_;
    Rect board_{};
    BoardTiles boardTiles_;
    bool haveBoardTiles_ = false;
    QImage deviceTiles_;
    QImage tiles1x_;
    // The window frame as it was when the dialog was built: a window manager adds
    // its frame only once the dialog is shown, and the dialog logic keeps offsets
    // inside the window rectangle from start-up on.
    QMargins frameMargins_;
    std::optional<Rect> clip_;  // screen coordinates, right and bottom outside
    bool painting_ = false;

    // Calls from other threads travel in pending_ under callMutex_, not through
    // Qt's event queue, so the hand-over is one lock that every tool can see; an
    // eventfd only wakes the GUI thread. closing_ is written under the lock too (the
    // lock orders it against the waits); being atomic it may also be read without.
    std::thread::id guiThread_;
    int wakeFd_ = -1;
    std::atomic<bool> closing_{false};
    mutable std::mutex callMutex_;
    mutable std::condition_variable callDone_;
    mutable std::deque<std::shared_ptr<PendingCall>> pending_;
};

}  // namespace fifteen::ui
