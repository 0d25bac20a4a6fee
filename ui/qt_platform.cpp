#include "ui/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyle>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "ui/dialog_ids.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include "ui/board_view.h"

namespace fifteen::ui {

namespace {

enum class Kind { groupBox, pushButton, pushCheckBox, outputBox, etchedLine, leftText, rightText };

struct ControlTemplate {
    int id;
    Kind kind;
    const char* text;
    int x, y, cx, cy;  // dialog units
};

constexpr int dialogWidthDu = 346;
constexpr int dialogHeightDu = 216;

// Creation order is stacking order: the group boxes lie under the buttons.
constexpr ControlTemplate dialogTemplate[] = {
    {1001, Kind::groupBox, "Problem", 7, 0, 154, 26},
    {1002, Kind::groupBox, "", 165, 0, 46, 26},
    {1003, Kind::groupBox, "Solver", 215, 0, 124, 26},
    {1004, Kind::pushButton, "Shuffle", 11, 8, 48, 14},
    {1005, Kind::pushCheckBox, "Backward", 60, 8, 48, 14},
    {1006, Kind::pushCheckBox, "DirectDrag", 109, 8, 48, 14},
    {1007, Kind::pushButton, "Reset", 169, 8, 38, 14},
    {1008, Kind::pushButton, "Solve", 219, 8, 38, 14},
    {1009, Kind::pushButton, "Cancel", 258, 8, 38, 14},
    {1010, Kind::pushButton, "Trace", 297, 8, 38, 14},
    {1011, Kind::outputBox, "", 172, 35, 167, 162},
    {1012, Kind::etchedLine, "", 7, 199, 331, 1},
    {1013, Kind::leftText, "Solver = WD + PDB + OpenMP", 8, 203, 254, 12},
    {1014, Kind::rightText, "0 sec", 276, 203, 60, 12},
};

// The longest text the output box must show without cutting it: the four rows of
// the problem, three lines of result and eight lines of ten moves (an optimal
// solution has at most 80), none wider than 30 characters; two of each to spare.
constexpr int outputColumns = 32;
constexpr int outputLines = 17;
// The board needs this much room beside the output box and between the buttons'
// groups and the separator line.
constexpr int boardMargin = 4;

// Tile artwork drawn for 1, 1.5, 2 and 3 device pixels per pixel, in that order.
constexpr const char* tileArtwork[] = {":/tiles.png", ":/tiles@1.5x.png", ":/tiles@2x.png",
                                       ":/tiles@3x.png"};

QFont outputFont() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// A length in dialog units along one axis that must come to at least some pixels.
struct RoomNeeded {
    bool vertical;
    int du;
    int pixels;
};

// The room the template's controls need in pixels, from the fonts they show text
// in: the output box its longest report, each button and static text its text, the
// board its 256 pixels.
std::vector<RoomNeeded> roomNeeded(const QFont& font) {
    const QFontMetrics metrics(font), output(outputFont());
    QPlainTextEdit probe;
    probe.setFont(outputFont());
    const int padding =
        2 * (static_cast<int>(std::ceil(probe.document()->documentMargin())) + probe.frameWidth()) +
        probe.cursorWidth();
    const int buttonPadding = 2 * (probe.style()->pixelMetric(QStyle::PM_ButtonMargin) +
                                   probe.style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    std::vector<RoomNeeded> room = {
        {false, 167, output.horizontalAdvance(QString(outputColumns, QLatin1Char('0'))) + padding},
        {true, 162, outputLines * output.lineSpacing() + padding},
        {false, 172, boardPixels + 2 * boardMargin},
        {true, 199 - 26 - 1, boardPixels + 2 * boardMargin},
        // The buttons start below the middle of their group's title.
        {true, 8, metrics.height() / 2 + 2},
    };
    for (const ControlTemplate& t : dialogTemplate) {
        const QString text = QString::fromLatin1(t.text);
        if (t.kind == Kind::pushButton || t.kind == Kind::pushCheckBox) {
            room.push_back({false, t.cx, metrics.horizontalAdvance(text) + buttonPadding});
            room.push_back({true, t.cy, metrics.height() + buttonPadding / 2});
        } else if (t.kind == Kind::leftText || t.kind == Kind::rightText) {
            room.push_back({false, t.cx, metrics.horizontalAdvance(text)});
            room.push_back({true, t.cy, metrics.height()});
        }
    }
    return room;
}

// The font's base units, made larger where a control would not have the room it
// needs, so that the whole template grows together and nothing is cut off.
DialogBaseUnits fittingUnits(const QFont& font) {
    DialogBaseUnits units = DialogBaseUnits::of(font);
    for (const RoomNeeded& r : roomNeeded(font)) {
        if (r.vertical) {
            while (units.toPixelsY(r.du) < r.pixels) ++units.y;
        } else {
            while (units.toPixelsX(r.du) < r.pixels) ++units.x;
        }
    }
    return units;
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Rect toRect(QPoint topLeft, QSize size) {
    return {topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}

// A group box drawn as the template's window system draws one: an etched frame
// whose top edge runs through the middle of the title, so the buttons placed in
// it by dialog units sit inside the frame rather than over its top.
class TemplateGroupBox : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QFontMetrics metrics(font());
        const int top = metrics.height() / 2;
        const int w = width(), h = height();
        p.setPen(palette().color(QPalette::Light));
        p.drawRect(1, top + 1, w - 2, h - top - 2);
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(0, top, w - 2, h - top - 2);
        if (title().isEmpty()) return;
        const int x = metrics.averageCharWidth();
        const QRect text(x, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        p.fillRect(text, palette().color(QPalette::Window));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(text, Qt::AlignCenter, title());
    }
};

QWidget* createControl(const ControlTemplate& t, QWidget* parent) {
    const QString text = QString::fromLatin1(t.text);
    switch (t.kind) {
        case Kind::groupBox:
            return new TemplateGroupBox(text, parent);
        case Kind::pushButton:
        case Kind::pushCheckBox: {
            auto* button = new QPushButton(text, parent);
            button->setCheckable(t.kind == Kind::pushCheckBox);
            return button;
        }
        case Kind::outputBox: {
            auto* edit = new QPlainTextEdit(parent);
            edit->setReadOnly(true);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            // A read-only edit box shows the dialog's own background, not a white field.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
            // The viewport shows the dialog through it rather than filling itself: at
            // a fractional device pixel ratio its rounded fill covers the frame's right
            // and bottom edges.
            edit->viewport()->setAutoFillBackground(false);
            return edit;
        }
        case Kind::etchedLine: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
        case Kind::leftText:
        case Kind::rightText: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);  // a status such as "a<b" is no markup
            const Qt::Alignment side = t.kind == Kind::leftText ? Qt::AlignLeft : Qt::AlignRight;
            label->setAlignment(side | Qt::AlignTop);
            return label;
        }
    }
    return nullptr;
}

}  // namespace

// The dialog window: hands every event the dialog logic cares about to the handler.
class QtDialog : public QDialog {
  public:
    explicit QtDialog(QtPlatform& platform) : platform_(platform) {}
    // The base destructors still move the focus; by then this is no QtDialog, so
    // the focus connection must not reach it.
    ~QtDialog() override { QObject::disconnect(platform_.focusConnection_); }

  protected:
    void paintEvent(QPaintEvent*) override { platform_.paint(*this); }
    void mouseMoveEvent(QMouseEvent* event) override { deliver(MouseEvent::move, event); }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) deliver(MouseEvent::leftDown, event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) deliver(MouseEvent::leftUp, event);
    }
    // The close box asks; the dialog logic decides and ends the dialog itself.
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        platform_.handler_->onClose();
    }
    // Esc is a cancel command the dialog logic does not handle: it must not end the
    // dialog behind the logic's back.
    void reject() override {}

    // The board's keys when the board (the dialog itself) has the focus.
    void keyPressEvent(QKeyEvent* event) override {
        const std::optional<Key> key = QtPlatform::boardKey(*event);
        if (key && platform_.handler_->onKey(*key, event->isAutoRepeat())) return;
        QDialog::keyPressEvent(event);
    }
    // Keys at the controls, before the controls see them.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            platform_.routeControlKey(watched, *static_cast<QKeyEvent*>(event)))
            return true;
        return QDialog::eventFilter(watched, event);
    }
    // Right click on the board, or the Menu key anywhere (the controls other than
    // the output box pass it on here).
    void contextMenuEvent(QContextMenuEvent* event) override {
        const Rect b = platform_.board_;
        const QPoint p = event->pos();
        if (event->reason() == QContextMenuEvent::Mouse) {
            if (p.x() < b.left || p.x() >= b.right || p.y() < b.top || p.y() >= b.bottom) return;
            platform_.handler_->onContextMenu({p.x(), p.y()});
        } else {
            platform_.handler_->onKey(Key::menu, false);
        }
    }
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasText()) event->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* event) override {
        const Rect b = platform_.board_;
        const QPoint p = event->position().toPoint();
        const bool onBoard =
            p.x() >= b.left && p.x() < b.right && p.y() >= b.top && p.y() < b.bottom;
        if (onBoard && event->mimeData()->hasText()) {
            event->acceptProposedAction();
        } else {
            event->ignore();
        }
    }
    void dropEvent(QDropEvent* event) override {
        event->acceptProposedAction();
        platform_.handler_->onDropText(event->mimeData()->text().toStdString());
    }

  private:
    void deliver(MouseEvent kind, QMouseEvent* event) {
        const QPoint p = event->position().toPoint();
        platform_.handler_->onMouse(kind, platform_.confinedPoint({p.x(), p.y()}));
    }

    QtPlatform& platform_;
};

DialogBaseUnits DialogBaseUnits::of(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(alphabet / 26 + 1) / 2, metrics.height()};
}

// du * units / 4 (or / 8) rounded half away from zero, as the template's system does.
int DialogBaseUnits::toPixelsX(int du) const {
    return static_cast<int>(std::lround(du * x / 4.0));
}
int DialogBaseUnits::toPixelsY(int du) const {
    return static_cast<int>(std::lround(du * y / 8.0));
}

QFont dialogFont() {
    QFont font = QApplication::font();
    // 10 pt at the screen's logical dpi: 13 pixels at 96 dpi, more for a user who
    // asks for larger fonts.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPixelSize(static_cast<int>(std::lround(10.0 * dpi / 72.0)));
    return font;
}

QtPlatform::QtPlatform() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

QtPlatform::~QtPlatform() {
    beginClose();
    delete dialog_.data();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

int QtPlatform::run(DialogHandler& handler) {
    build(handler);
    const int result = dialog_->exec();
    // Nothing may wait on a dialog that no longer runs.
    beginClose();
    return result;
}

void QtPlatform::build(DialogHandler& handler) {
    // Without its wake-up the dialog would never hear from the other threads.
    if (wakeFd_ < 0) qFatal("fifteen: cannot create an eventfd for the dialog");
    handler_ = &handler;
    guiThread_ = std::this_thread::get_id();
    auto* dialog = new QtDialog(*this);
    dialog_ = dialog;
    auto* wake = new QSocketNotifier(static_cast<qintptr>(wakeFd_), QSocketNotifier::Read, dialog);
    QObject::connect(wake, &QSocketNotifier::activated, dialog, [this] { runPendingCalls(); });
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setWindowIcon(QIcon(QStringLiteral(":/fifteen.png")));
    const QFont font = dialogFont();
    dialog->setFont(font);
    units_ = fittingUnits(font);
    dialog->setFixedSize(units_.toPixelsX(dialogWidthDu), units_.toPixelsY(dialogHeightDu));
    dialog->setMouseTracking(true);
    dialog->setFocusPolicy(Qt::ClickFocus);  // the board takes the focus when clicked
    dialog->setAcceptDrops(true);

    for (const ControlTemplate& t : dialogTemplate) {
        QWidget* control = createControl(t, dialog);
        control->setFont(font);
        control->setGeometry(units_.toPixelsX(t.x), units_.toPixelsY(t.y), units_.toPixelsX(t.cx),
                             units_.toPixelsY(t.cy));
        controls_[t.id] = control;
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            button->setAutoDefault(false);
            // A push-like check box has toggled its own state by the time this runs.
            QObject::connect(button, &QPushButton::clicked, dialog,
                             [this, id = t.id] { handler_->onCommand(id); });
        }
    }

    QScreen* screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = dialog->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog->move(frame.topLeft());
    }
    installKeyRouting();
    const QRect inner = dialog->geometry(), outer = dialog->frameGeometry();
    frameMargins_ = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
    handler.onInit();
}

QDialog* QtPlatform::dialog() const {
    return dialog_.data();
}

QWidget* QtPlatform::control(int controlId) const {
    const auto it = controls_.find(controlId);
    return it == controls_.end() ? nullptr : it->second;
}

bool QtPlatform::onGuiThread(const std::function<void()>& f) const {
    if (!handler_) return false;  // not built yet
    if (std::this_thread::get_id() == guiThread_) {
        if (!dialog_) return false;
        f();
        return true;
    }
    const auto call = std::make_shared<PendingCall>(PendingCall{&f});
    {
        std::lock_guard lock(callMutex_);
        if (closing_.load(std::memory_order_relaxed)) return false;
        pending_.push_back(call);
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
    std::unique_lock lock(callMutex_);
    // A call that has started runs to its end even when closing begins inside it:
    // f refers to this frame.
    callDone_.wait(lock, [&] {
        return call->done || (closing_.load(std::memory_order_relaxed) && !call->running);
    });
    return call->done;
}

void QtPlatform::runPendingCalls() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
    for (;;) {
        std::shared_ptr<PendingCall> call;
        {
            std::lock_guard lock(callMutex_);
            if (closing_.load(std::memory_order_relaxed) || pending_.empty()) return;
            call = pending_.front();
            pending_.pop_front();
            call->running = true;
        }
        // Unlocked: the call may come back into the platform.
        (*call->f)();
        {
            std::lock_guard lock(callMutex_);
            call->done = true;
        }
        callDone_.notify_all();
    }
}

void QtPlatform::beginClose() {
    {
        std::lock_guard lock(callMutex_);
        closing_.store(true, std::memory_order_relaxed);
        pending_.clear();
    }
    callDone_.notify_all();
}

bool QtPlatform::sendMessage(int message) {
    if (closing_.load(std::memory_order_relaxed)) return false;
    return onGuiThread([&] { handler_->onMessage(message); });
}

void QtPlatform::setCaption(std::string_view text) {
    onGuiThread([&] { dialog_->setWindowTitle(toQString(text)); });
}

void QtPlatform::setControlText(int controlId, std::string_view text) {
    onGuiThread([&] {
        QWidget* w = control(controlId);
        QString s = toQString(text);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
            edit->setPlainText(s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            button->setText(s);
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(s);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            group->setTitle(s);
        }
    });
}

std::string QtPlatform::controlText(int controlId) const {
    QString s;
    onGuiThread([&] {
        QWidget* w = control(controlId);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
            s = edit->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            s = button->text();
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            s = label->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            s = group->title();
        }
    });
    return s.toStdString();
}

void QtPlatform::enableControl(int controlId, bool enabled) {
    onGuiThread([&] {
        if (QWidget* w = control(controlId)) w->setEnabled(enabled);
    });
}

bool QtPlatform::isControlEnabled(int controlId) const {
    bool enabled = false;
    onGuiThread([&] {
        QWidget* w = control(controlId);
        enabled = w && w->isEnabled();
    });
    return enabled;
}

void QtPlatform::setCheck(int controlId, bool checked) {
    onGuiThread([&] {
        auto* button = qobject_cast<QAbstractButton*>(control(controlId));
        if (button && button->isCheckable()) button->setChecked(checked);
    });
}

bool QtPlatform::isChecked(int controlId) const {
    bool checked = false;
    onGuiThread([&] {
        auto* button = qobject_cast<QAbstractButton*>(control(controlId));
        checked = button && button->isChecked();
    });
    return checked;
}

void QtPlatform::setMonospaceFont(int controlId) {
    onGuiThread([&] {
        if (QWidget* w = control(controlId)) w->setFont(outputFont());
    });
}

void QtPlatform::setTimer(int timerId, int periodMs) {
    onGuiThread([&] {
        QTimer*& timer = timers_[timerId];
        if (!timer) {
            timer = new QTimer(dialog_.data());
            timer->setTimerType(Qt::PreciseTimer);
            QObject::connect(timer, &QTimer::timeout, dialog_.data(),
                             [this, timerId] { handler_->onTimer(timerId); });
        }
        timer->start(std::max(periodMs, 0));
    });
}

void QtPlatform::killTimer(int timerId) {
    onGuiThread([&] {
        const auto it = timers_.find(timerId);
        if (it != timers_.end()) it->second->stop();
    });
}

Rect QtPlatform::windowRect() const {
    Rect r{};
    onGuiThread([&] {
        const QRect frame = dialog_->geometry().marginsAdded(frameMargins_);
        r = toRect(frame.topLeft(), frame.size());
    });
    return r;
}

Rect QtPlatform::clientRect() const {
    Rect r{};
    onGuiThread([&] { r = toRect({0, 0}, dialog_->size()); });
    return r;
}

Rect QtPlatform::controlRect(int controlId) const {
    Rect r{};
    onGuiThread([&] {
        if (QWidget* w = control(controlId)) r = toRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    });
    return r;
}

Point QtPlatform::clientToScreen(Point client) const {
    Point p = client;
    onGuiThread([&] {
        const QPoint g = dialog_->mapToGlobal(QPoint(client.x, client.y));
        p = {g.x(), g.y()};
    });
    return p;
}

void QtPlatform::confineCursor(Rect screen) {
    clip_ = screen;
}

void QtPlatform::releaseCursor() {
    clip_.reset();
}

Point QtPlatform::confinedPoint(Point client) const {
    if (!clip_ || clip_->width() <= 0 || clip_->height() <= 0) return client;
    const QPoint origin = dialog_->mapToGlobal(QPoint(0, 0));
    const QPoint global = origin + QPoint(client.x, client.y);
    const QPoint inside(std::clamp(global.x(), clip_->left, clip_->right - 1),
                        std::clamp(global.y(), clip_->top, clip_->bottom - 1));
    if (inside != global) QCursor::setPos(dialog_->screen(), inside);
    return {inside.x() - origin.x(), inside.y() - origin.y()};
}

bool QtPlatform::loadTileArtwork(Surface& tiles) {
    const QImage image =
        QImage(QStringLiteral(":/tiles.png")).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return false;
    tiles.resize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            tiles.pixels[static_cast<size_t>(y * image.width() + x)] = line[x] & 0xFFFFFFu;
        }
    }
    return true;
}

Color QtPlatform::buttonFaceColor() const {
    Color c = 0;
    onGuiThread([&] { c = dialog_->palette().color(QPalette::Button).rgb() & 0xFFFFFFu; });
    return c;
}

void QtPlatform::invalidateBoard(Rect board, const Surface& surface) {
    onGuiThread([&] {
        const QRect before(board_.left, board_.top, board_.width(), board_.height());
        if (boardImage_.width() != surface.width || boardImage_.height() != surface.height) {
            boardImage_ = QImage(surface.width, surface.height, QImage::Format_RGB32);
        }
        for (int y = 0; y < surface.height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(boardImage_.scanLine(y));
            for (int x = 0; x < surface.width; ++x) line[x] = 0xFF000000u | surface.at(x, y);
        }
        board_ = board;
        // Asked from inside a paint, the image is painted right after; asking again
        // would paint for ever.
        if (!painting_)
            dialog_->update(
                before.united(QRect(board.left, board.top, board.width(), board.height())));
    });
}

void QtPlatform::setBoardTiles(const BoardTiles& tiles) {
    onGuiThread([&] {
        boardTiles_ = tiles;
        haveBoardTiles_ = true;
    });
}

const QImage& QtPlatform::tileArtworkFor(int side) {
    if (deviceTiles_.width() == 4 * side) return deviceTiles_;
    QImage art;
    for (const char* name : tileArtwork) {
        art = QImage(QString::fromLatin1(name));
        if (art.width() >= 4 * side) break;
    }
    if (art.width() != 4 * side) {
        art = art.scaled(4 * side, 4 * side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    deviceTiles_ = art.convertToFormat(QImage::Format_RGB32);
    // Qt reads a ratio from an "@2x" name; these pixels are drawn one to one.
    deviceTiles_.setDevicePixelRatio(1);
    tiles1x_ = QImage(QString::fromLatin1(tileArtwork[0])).convertToFormat(QImage::Format_RGB32);
    if (tiles1x_.isNull()) deviceTiles_ = QImage();
    if (deviceTiles_.isNull()) return deviceTiles_;
    // The blank, as the dialog logic makes it in its own artwork.
    const QColor blank = QColor::fromRgb(buttonFaceColor());
    QPainter(&deviceTiles_).fillRect(0, 0, side, side, blank);
    QPainter(&tiles1x_).fillRect(0, 0, cellPixels, cellPixels, blank);
    return deviceTiles_;
}

void QtPlatform::paintSharpBoard(QPainter& painter, double ratio) {
    const int side = static_cast<int>(std::lround(cellPixels * ratio));
    const QImage& art = tileArtworkFor(side);
    if (art.isNull()) {
        painter.drawImage(QPoint(board_.left, board_.top), boardImage_);
        return;
    }
    const auto device = [side](int pixels) {
        return static_cast<int>(std::lround(pixels * side / double(cellPixels)));
    };
    QImage board(4 * side, 4 * side, QImage::Format_RGB32);
    board.fill(0);
    QPainter p(&board);
    // The same tiles at one pixel per pixel, to find what else the surface shows.
    QImage composed(boardPixels, boardPixels, QImage::Format_RGB32);
    composed.fill(0);
    QPainter c(&composed);
    for (int i = 0; i < boardTiles_.count; ++i) {
        const TileSprite& s = boardTiles_.sprites[static_cast<size_t>(i)];
        p.drawImage(QPoint(device(s.x), device(s.y)), art,
                    QRect(side * (s.tile % 4), side * (s.tile / 4), side, side));
        c.drawImage(
            QPoint(s.x, s.y), tiles1x_,
            QRect(cellPixels * (s.tile % 4), cellPixels * (s.tile / 4), cellPixels, cellPixels));
    }
    c.end();
    QImage extra(boardPixels, boardPixels, QImage::Format_ARGB32);
    extra.fill(Qt::transparent);
    bool anyExtra = false;
    for (int y = 0; y < boardPixels; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(boardImage_.constScanLine(y));
        const auto* tiles = reinterpret_cast<const QRgb*>(composed.constScanLine(y));
        for (int x = 0; x < boardPixels; ++x) {
            if (((line[x] ^ tiles[x]) & 0xFFFFFFu) != 0) {
                extra.setPixel(x, y, line[x] | 0xFF000000u);
                anyExtra = true;
            }
        }
    }
    if (anyExtra) p.drawImage(QRect(0, 0, 4 * side, 4 * side), extra);
    p.end();
    // Cancel the device scaling, so the image lands on whole device pixels unscaled.
    painter.setTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    painter.drawImage(QPoint(static_cast<int>(std::lround(board_.left * ratio)),
                             static_cast<int>(std::lround(board_.top * ratio))),
                      board);
}

void QtPlatform::paint(QWidget& target) {
    painting_ = true;
    handler_->onPaint();
    painting_ = false;
    if (boardImage_.isNull()) return;
    QPainter painter(&target);
    const double ratio = target.devicePixelRatioF();
    // Above one device pixel per pixel the surface would be scaled up and blur: the
    // tiles are drawn again from artwork of the screen's resolution.
    if (ratio > 1.0 && haveBoardTiles_ && boardImage_.width() == boardPixels &&
        boardImage_.height() == boardPixels) {
        paintSharpBoard(painter, ratio);
        return;
    }
    painter.drawImage(QPoint(board_.left, board_.top), boardImage_);
    paintFocusMarks(painter);
}

void QtPlatform::endDialog(int result) {
    onGuiThread([&] { dialog_->done(result); });
}

}  // namespace fifteen::ui

namespace fifteen::ui {

std::optional<Key> QtPlatform::boardKey(const QKeyEvent& event) {
    if (event.matches(QKeySequence::Copy)) return Key::copy;
    if (event.matches(QKeySequence::Paste)) return Key::paste;
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (event.key() == Qt::Key_F10 && mods == Qt::ShiftModifier) return Key::menu;
    // + is Shift+= on many layouts, so Shift is allowed for + and -.
    if ((mods & ~Qt::ShiftModifier) != Qt::NoModifier) return std::nullopt;
    switch (event.key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return Key::faster;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return Key::slower;
        case Qt::Key_Escape:
            return Key::escape;
        default:
            break;
    }
    if (mods != Qt::NoModifier) return std::nullopt;
    switch (event.key()) {
        case Qt::Key_Left:
            return Key::left;
        case Qt::Key_Right:
            return Key::right;
        case Qt::Key_Up:
            return Key::up;
        case Qt::Key_Down:
            return Key::down;
        case Qt::Key_Home:
            return Key::home;
        case Qt::Key_End:
            return Key::end;
        default:
            return std::nullopt;
    }
}

bool QtPlatform::routeControlKey(QObject* watched, QKeyEvent& event) {
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
        (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // As Space does; the template has no default button for Return to press.
        if (button->isEnabled()) button->click();
        return true;
    }
    const std::optional<Key> key = boardKey(event);
    if (!key) return false;
    if (watched == control(idOutput)) {
        // The output box keeps its cursor keys and copies its own selection.
        const bool own = *key == Key::copy || *key == Key::left || *key == Key::right ||
                         *key == Key::up || *key == Key::down || *key == Key::home ||
                         *key == Key::end;
        if (own) return false;
    }
    return handler_->onKey(*key, event.isAutoRepeat());
}

void QtPlatform::installKeyRouting() {
    for (const auto& [id, widget] : controls_) {
        if (qobject_cast<QPushButton*>(widget) || id == idOutput) {
            widget->installEventFilter(dialog_.data());
        }
    }
    focusConnection_ = QObject::connect(qApp, &QApplication::focusChanged, dialog_.data(), [this] {
        if (dialog_) dialog_->update();
    });
}

void QtPlatform::paintFocusMarks(QPainter& painter) {
    QRect mark;
    QWidget* focus = QApplication::focusWidget();
    if (focus == dialog_.data() && !boardImage_.isNull()) {
        mark = QRect(board_.left, board_.top, board_.width(), board_.height());
    } else if (focus && focus == control(idOutput)) {
        mark = focus->geometry();
    } else {
        return;
    }
    QPen pen(dialog_->palette().color(QPalette::WindowText));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(mark.adjusted(-3, -3, 2, 2));
}

void QtPlatform::setClipboardText(std::string_view text) {
    onGuiThread([&] { QGuiApplication::clipboard()->setText(toQString(text)); });
}

std::string QtPlatform::clipboardText() const {
    std::string text;
    onGuiThread([&] { text = QGuiApplication::clipboard()->text().toStdString(); });
    return text;
}

int QtPlatform::popupMenu(const std::vector<MenuItem>& items, Point client) {
    int chosen = -1;
    onGuiThread([&] {
        QMenu menu(dialog_.data());
        for (const MenuItem& item : items) {
            QString text = toQString(item.text);
            if (!item.shortcut.empty()) text += QLatin1Char('\t') + toQString(item.shortcut);
            QAction* action = menu.addAction(text);
            action->setEnabled(item.enabled);
            action->setData(item.action);
        }
        if (QAction* picked = menu.exec(dialog_->mapToGlobal(QPoint(client.x, client.y))))
            chosen = picked->data().toInt();
    });
    return chosen;
}

void QtPlatform::setFocus(int controlId) {
    onGuiThread([&] {
        QWidget* target = controlId == focusBoard ? dialog_.data() : control(controlId);
        if (target && target->isEnabled()) target->setFocus(Qt::OtherFocusReason);
    });
}

int QtPlatform::focusedControl() const {
    int id = -1;
    onGuiThread([&] {
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus == dialog_.data()) {
            id = focusBoard;
            return;
        }
        for (const auto& [controlId, widget] : controls_) {
            if (widget == focus) id = controlId;
        }
    });
    return id;
}

}  // namespace fifteen::ui
