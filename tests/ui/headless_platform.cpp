#include "tests/ui/headless_platform.h"

#include <algorithm>
#include <cmath>

#include "ui/dialog_ids.h"
#include "ui/dialog_template.h"

namespace fifteen::ui::testing {

namespace {

// The base units the geometry below is written for.
constexpr DialogBaseUnits headlessUnits{6, 13};

}  // namespace

Color artworkPixel(int32_t tile, int localX, int localY) {
    return (static_cast<Color>(tile + 1) << 16) | (static_cast<Color>(localX) << 8) |
           static_cast<Color>(localY);
}

Surface makeTestArtwork() {
    Surface s;
    s.resize(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            s.pixels[static_cast<size_t>(y * 256 + x)] =
                artworkPixel(x / 64 + 4 * (y / 64), x % 64, y % 64);
        }
    }
    return s;
}

HeadlessPlatform::HeadlessPlatform() : guiThread_(std::this_thread::get_id()) {
    for (const ControlTemplate& c : dialogTemplate()) {
        const int left = clientOrigin.x + headlessUnits.toPixelsX(c.x);
        const int top = clientOrigin.y + headlessUnits.toPixelsY(c.y);
        controls[c.id] = Rect{left, top, left + headlessUnits.toPixelsX(c.cx),
                              top + headlessUnits.toPixelsY(c.cy)};
        texts_[c.id] = c.text;
        enabled_[c.id] = true;
        checked_[c.id] = false;
    }
}

HeadlessPlatform::~HeadlessPlatform() {
    beginClose();
}

void HeadlessPlatform::open(DialogHandler& handler) {
    handler_ = &handler;
    handler.onInit();
}

bool HeadlessPlatform::click(int controlId) {
    if (!isControlEnabled(controlId)) {
        return false;
    }
    if (isCheckBoxControl(controlId)) {
        checked_[controlId] = !checked_[controlId];
    }
    handler_->onCommand(controlId);
    return true;
}

bool HeadlessPlatform::fireTimer(int timerId) {
    if (timers_.count(timerId) == 0) {
        return false;
    }
    handler_->onTimer(timerId);
    return true;
}

void HeadlessPlatform::advance(int ms) {
    const int64_t end = nowMs_ + ms;
    for (;;) {
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due <= end &&
                (next == timers_.end() || it->second.due < next->second.due)) {
                next = it;
            }
        }
        if (next == timers_.end()) {
            break;
        }
        nowMs_ = next->second.due;
        next->second.due += next->second.period;
        handler_->onTimer(next->first);
    }
    nowMs_ = end;
}

void HeadlessPlatform::mouse(MouseEvent event, Point client) {
    if (confinedTo) {
        // The cursor cannot leave the clip square (right and bottom lie outside).
        Point screen = clientToScreen(client);
        screen.x = std::clamp(screen.x, confinedTo->left, confinedTo->right - 1);
        screen.y = std::clamp(screen.y, confinedTo->top, confinedTo->bottom - 1);
        client = Point{screen.x - clientOrigin.x, screen.y - clientOrigin.y};
    }
    handler_->onMouse(event, client);
}

void HeadlessPlatform::message(int msg) {
    handler_->onMessage(msg);
}

void HeadlessPlatform::paint() {
    handler_->onPaint();
}

void HeadlessPlatform::close() {
    handler_->onClose();
}

bool HeadlessPlatform::key(Key k, bool autoRepeat) {
    return handler_->onKey(k, autoRepeat);
}

void HeadlessPlatform::dropText(std::string_view text) {
    handler_->onDropText(text);
}

void HeadlessPlatform::rightClick(Point client) {
    handler_->onContextMenu(client);
}

int HeadlessPlatform::pump() {
    checkGuiThread();
    int count = 0;
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                break;
            }
            call = queue_.front();
            queue_.pop_front();
            call->running = true;
        }
        call->run();
        {
            std::lock_guard lock(mutex_);
            call->done = true;
        }
        callDone_.notify_all();
        ++count;
    }
    return count;
}

bool HeadlessPlatform::pumpUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        pump();
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::unique_lock lock(mutex_);
        callQueued_.wait_for(lock, std::chrono::milliseconds(5), [&] { return !queue_.empty(); });
    }
}

bool HeadlessPlatform::waitForPending(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return callQueued_.wait_for(lock, timeout, [&] { return !queue_.empty(); });
}

bool HeadlessPlatform::onGuiThread(std::function<void()> f) {
    if (std::this_thread::get_id() == guiThread_) {
        f();
        return true;
    }
    auto call = std::make_shared<Call>();
    call->run = std::move(f);
    std::unique_lock lock(mutex_);
    if (closing_.load(std::memory_order_relaxed)) {
        return false;
    }
    queue_.push_back(call);
    callQueued_.notify_all();
    // A call the GUI thread has begun is waited for even when closing begins
    // meanwhile: it runs on this thread's data.
    callDone_.wait(lock, [&] {
        return call->done || (closing_.load(std::memory_order_relaxed) && !call->running);
    });
    return call->done;
}

void HeadlessPlatform::post(std::function<void()> call) {
    auto queued = std::make_shared<Call>();
    queued->run = std::move(call);
    std::lock_guard lock(mutex_);
    if (closing_.load(std::memory_order_relaxed)) return;
    queue_.push_back(std::move(queued));
    callQueued_.notify_all();
}

void HeadlessPlatform::checkGuiThread() const {
    if (std::this_thread::get_id() != guiThread_) {
        ++threadViolations_;
    }
}

void HeadlessPlatform::beginClose() {
    {
        std::lock_guard lock(mutex_);
        closing_.store(true, std::memory_order_release);
        // Calls not yet begun are dropped; their senders return false.
        queue_.clear();
    }
    callDone_.notify_all();
}

void HeadlessPlatform::setCaption(std::string_view text) {
    checkGuiThread();
    caption = text;
}

void HeadlessPlatform::setControlText(int controlId, std::string_view text) {
    checkGuiThread();
    texts_[controlId] = text;
    textLog.emplace_back(controlId, text);
}

std::string HeadlessPlatform::controlText(int controlId) const {
    checkGuiThread();
    const auto it = texts_.find(controlId);
    return it == texts_.end() ? std::string() : it->second;
}

void HeadlessPlatform::enableControl(int controlId, bool enabled) {
    checkGuiThread();
    enabled_[controlId] = enabled;
    // Disabling the focused control moves the focus away, as a window system does.
    if (!enabled && focus == controlId) {
        focus = -1;
    }
}

bool HeadlessPlatform::isControlEnabled(int controlId) const {
    checkGuiThread();
    const auto it = enabled_.find(controlId);
    return it != enabled_.end() && it->second;
}

void HeadlessPlatform::setCheck(int controlId, bool checked) {
    checkGuiThread();
    checked_[controlId] = checked;
}

bool HeadlessPlatform::isChecked(int controlId) const {
    checkGuiThread();
    const auto it = checked_.find(controlId);
    return it != checked_.end() && it->second;
}

void HeadlessPlatform::setMonospaceFont(int controlId) {
    checkGuiThread();
    monospaceControl = controlId;
}

void HeadlessPlatform::setTimer(int timerId, int periodMs) {
    checkGuiThread();
    timers_[timerId] = Timer{periodMs, nowMs_ + periodMs};
}

void HeadlessPlatform::killTimer(int timerId) {
    checkGuiThread();
    timers_.erase(timerId);
}

int HeadlessPlatform::timerPeriod(int timerId) const {
    const auto it = timers_.find(timerId);
    return it == timers_.end() ? 0 : it->second.period;
}

bool HeadlessPlatform::sendMessage(int msg) {
    if (closing_.load(std::memory_order_acquire)) {
        return false;
    }
    return onGuiThread([this, msg] {
        delivered.push_back(msg);
        handler_->onMessage(msg);
    });
}

Rect HeadlessPlatform::windowRect() const {
    return window;
}

Rect HeadlessPlatform::clientRect() const {
    return Rect{0, 0, window.width() - 2 * (clientOrigin.x - window.left),
                window.bottom - clientOrigin.y - (clientOrigin.x - window.left)};
}

Rect HeadlessPlatform::controlRect(int controlId) const {
    const auto it = controls.find(controlId);
    return it == controls.end() ? Rect{0, 0, 0, 0} : it->second;
}

Point HeadlessPlatform::clientToScreen(Point client) const {
    return Point{client.x + clientOrigin.x, client.y + clientOrigin.y};
}

void HeadlessPlatform::confineCursor(Rect screen) {
    checkGuiThread();
    confinedTo = screen;
    ++confineCount;
}

void HeadlessPlatform::releaseCursor() {
    checkGuiThread();
    confinedTo.reset();
    ++releaseCount;
}

bool HeadlessPlatform::loadTileArtwork(Surface& tiles) {
    checkGuiThread();
    if (!artworkLoads) {
        return false;
    }
    tiles = artwork;
    return true;
}

Color HeadlessPlatform::buttonFaceColor() const {
    return buttonFace;
}

void HeadlessPlatform::invalidateBoard(Rect board, const Surface& surface) {
    checkGuiThread();
    shownRect = board;
    shown = surface;
    ++invalidateCount;
}

void HeadlessPlatform::setBoardTiles(const BoardTiles& tiles) {
    checkGuiThread();
    shownTiles = tiles;
}

void HeadlessPlatform::endDialog(int result) {
    checkGuiThread();
    endResult = result;
}

void HeadlessPlatform::setClipboardText(std::string_view text) {
    checkGuiThread();
    clipboard = text;
}

std::string HeadlessPlatform::clipboardText() const {
    checkGuiThread();
    return clipboard;
}

void HeadlessPlatform::setBoardMarks(const BoardMarks& boardMarks) {
    checkGuiThread();
    marks = boardMarks;
    ++marksCount;
}

void HeadlessPlatform::showReviewPlot(const ReviewPlot* reviewPlot) {
    checkGuiThread();
    if (reviewPlot) {
        plot = *reviewPlot;
    } else {
        plot.reset();
    }
}

std::optional<std::string> HeadlessPlatform::askText(const TextRequest& request) {
    checkGuiThread();
    ++askCount;
    if (request.selectBegin != request.selectEnd) {
        ++askedAgainCount;
        askedAgain = request;
        if (textAnswersAgain.empty()) return std::nullopt;
        const std::optional<std::string> answer = textAnswersAgain.front();
        textAnswersAgain.pop_front();
        return answer;
    }
    textOffered = request.initial;
    return textAnswer;
}

int HeadlessPlatform::popupMenu(const std::vector<MenuItem>& items, Point) {
    checkGuiThread();
    lastMenu = items;
    ++menuCount;
    for (const MenuItem& item : items) {
        if (item.action == menuChoice) {
            return item.enabled ? menuChoice : -1;  // a disabled entry cannot be chosen
        }
    }
    return -1;
}

void HeadlessPlatform::setFocus(int controlId) {
    // As in a window system, a disabled control does not take the focus.
    if (controlId == focusBoard || isControlEnabled(controlId)) {
        focus = controlId;
    }
}

void HeadlessPlatform::setOutputStale(std::string_view note, int end) {
    checkGuiThread();
    staleNote = note;
    staleEnd = note.empty() ? 0 : end;
}

void HeadlessPlatform::markOutput(int begin, int end) {
    checkGuiThread();
    outputMark = {begin, end};
}

void HeadlessPlatform::setBoardDescription(std::string_view text) {
    checkGuiThread();
    boardDescription = text;
}

void HeadlessPlatform::showTextWindow(std::string_view title, std::string_view text) {
    checkGuiThread();
    textWindowTitle = title;
    textWindowText = text;
}

int HeadlessPlatform::focusedControl() const {
    return focus;
}

}  // namespace fifteen::ui::testing
