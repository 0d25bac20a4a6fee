#pragma once

// A platform with no display, for driving the dialog logic in tests. It records
// what the dialog asks of the window system (texts, enables, checks, timers, the
// board surface, cursor confinement) and plays the window system's part: clicks
// reach only enabled controls, check boxes toggle themselves, timers run on a
// virtual clock, and calls from other threads wait in a queue until the test's
// thread (the GUI thread) pumps them, as a blocking queued call does.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui/platform.h"
#include "ui/review_plot.h"

namespace fifteen::ui::testing {

// The test artwork: every pixel says which tile image it belongs to and where,
// so a composed board can be checked pixel by pixel.
Color artworkPixel(int32_t tile, int localX, int localY);
Surface makeTestArtwork();

class HeadlessPlatform final : public Platform {
  public:
    // The constructing thread is the GUI thread.
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // The window system's side, on the GUI thread.
    void open(DialogHandler& handler);
    bool click(int controlId);    // false, delivering nothing, when disabled
    bool fireTimer(int timerId);  // false when the timer is not running
    // Advances the virtual clock, firing due timers in time order.
    void advance(int ms);
    void mouse(MouseEvent event, Point client);
    void message(int message);  // delivered at once, as if sent and pumped
    void paint();
    void close();
    // A key as the window system delivers it to the board; returns the handler's
    // answer.
    bool key(Key key, bool autoRepeat = false);
    void dropText(std::string_view text);
    // A right click at client: the handler may pop up the menu, which answers
    // menuChoice (the action, or -1 for a closed menu).
    void rightClick(Point client);

    // Runs the calls other threads are waiting on and the posted ones; returns how
    // many ran.
    int pump();
    // Pumps until done() holds or the timeout passes; returns done().
    bool pumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // Waits, without pumping, until some other thread is waiting in a call or has
    // posted one.
    bool waitForPending(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool closing() const { return closing_.load(std::memory_order_acquire); }

    // What was recorded.
    std::string caption;
    std::string staleNote;                 // the output box's stale mark, "" when none
    int staleEnd = 0;                      // where its dimmed part ends
    std::pair<int, int> outputMark{0, 0};  // the marked part of the output box's text
    std::string boardDescription;
    std::string textWindowTitle;  // the last text window shown
    std::string textWindowText;
    int monospaceControl = 0;
    std::vector<int> delivered;  // messages handled, in order
    std::vector<std::pair<int, std::string>> textLog;
    std::optional<Rect> confinedTo;
    int confineCount = 0;
    int releaseCount = 0;
    int invalidateCount = 0;
    Rect shownRect{};
    Surface shown;  // the board surface as of the last invalidate
    BoardTiles shownTiles;
    std::optional<int> endResult;
    std::string clipboard;
    int focus = focusBoard;
    std::vector<MenuItem> lastMenu;  // the entries of the last menu shown
    int menuCount = 0;
    int menuChoice = -1;
    // The board's marks and the review plot as last set; the text input answers
    // textAnswer (nullopt: called off) and keeps what it was offered.
    BoardMarks marks;
    int marksCount = 0;
    std::string boardNote;
    std::optional<ReviewPlot> plot;
    std::optional<std::string> textAnswer;
    std::string textOffered;
    // A text input asked again (with a selection: a faulty move) answers the next
    // of these, or is called off when there are none; what it offered is kept.
    std::deque<std::optional<std::string>> textAnswersAgain;
    TextRequest askedAgain;
    int askedAgainCount = 0;
    int askCount = 0;
    int64_t now() const { return nowMs_; }
    int timerPeriod(int timerId) const;  // 0 when not running
    // Calls that must come from the GUI thread but came from another.
    int threadViolations() const { return threadViolations_.load(); }

    // Geometry, screen coordinates (a 346x216 dialog-unit template at 6x13 base
    // units, client area at (203, 129)).
    Rect window{200, 100, 200 + 525, 100 + 383};
    Point clientOrigin{203, 129};
    std::map<int, Rect> controls;
    Surface artwork = makeTestArtwork();
    bool artworkLoads = true;
    Color buttonFace = 0xF0F0F0;

    // Platform.
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
    void setTimer(int timerId, int periodMs) override;
    void killTimer(int timerId) override;
    bool sendMessage(int message) override;
    void post(std::function<void()> call) override;
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
    void setBoardMarks(const BoardMarks& boardMarks) override;
    void setBoardNote(std::string_view text) override { boardNote = text; }
    void showReviewPlot(const ReviewPlot* reviewPlot) override;
    std::optional<std::string> askText(const TextRequest& request) override;
    void setFocus(int controlId) override;
    int focusedControl() const override;

  private:
    struct Call {
        std::function<void()> run;
        bool running = false;
        bool done = false;
    };
    struct Timer {
        int period;
        int64_t due;
    };

    // Runs f at once on the GUI thread; from another thread queues it and waits
    // until the GUI thread has run it, or returns false once closing has begun.
    bool onGuiThread(std::function<void()> f);
    void checkGuiThread() const;

    DialogHandler* handler_ = nullptr;
    std::thread::id guiThread_;
    std::map<int, std::string> texts_;
    std::map<int, bool> enabled_;
    std::map<int, bool> checked_;
    std::map<int, Timer> timers_;
    int64_t nowMs_ = 0;
    mutable std::atomic<int> threadViolations_{0};

    std::atomic<bool> closing_{false};
    mutable std::mutex mutex_;
    std::condition_variable callQueued_;
    std::condition_variable callDone_;
    std::deque<std::shared_ptr<Call>> queue_;
};

}  // namespace fifteen::ui::testing
