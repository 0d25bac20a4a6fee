#include "ui/qt_platform.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include "ui/dialog_ids.h"
#include "ui/dialog_layout.h"
#include "ui/qt/board_widget.h"
#include "ui/qt/control_help.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/plot_widget.h"
#include "ui/qt/template_controls.h"

namespace fifteen::ui {

namespace {

Rect toRect(QPoint topLeft, QSize size) {
    return {topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}

QRect toQRect(Rect r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

}  // namespace

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
    beginClose();
    delete dialog_.data();
}

int QtPlatform::run(DialogHandler& handler) {
    build(handler);
    const int result = dialog_->exec();
    // Nothing may wait on a dialog that no longer runs.
    beginClose();
    return result;
}

void QtPlatform::build(DialogHandler& handler) {
    handler_ = &handler;
    auto* dialog = new DialogWindow(handler);
    dialog_ = dialog;
    calls_.attach(dialog);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setWindowIcon(QIcon(QStringLiteral(":/fifteen.png")));
    const QFont font = dialogFont();
    dialog->setFont(font);
    units_ = fittingUnits(font);
    // Never smaller than the template: every control has the room it needs there.
    const Size smallest = smallestClient(units_);
    dialog->setMinimumSize(smallest.width, smallest.height);
    dialog->resize(dialog->minimumSize());
    dialog->setFocusPolicy(Qt::ClickFocus);  // the board takes the focus when clicked
    // Created first, so that it lies under every control.
    board_ = new BoardWidget(handler, dialog);

    for (const ControlTemplate& t : dialogTemplate()) {
        QWidget* control = createControl(t, dialog);
        control->setFont(font);
        controls_[t.id] = control;
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            button->setAutoDefault(false);
            // A push-like check box has toggled its own state by the time this runs.
            QObject::connect(button, &QPushButton::clicked, dialog,
                             [this, id = t.id] { handler_->onCommand(id); });
        }
    }
    QWidget* output = control(idOutput);
    board_->setOutputBox(output);
    for (const auto& [id, widget] : controls_) {
        if (qobject_cast<QPushButton*>(widget) || widget == output)
            dialog->routeKeysOf(widget, output);
    }

    std::vector<QWidget*> order;
    for (const int id : tabOrder) order.push_back(id == focusBoard ? dialog : control(id));
    dialog->setFocusOrder(std::move(order));
    addControlHelp(dialog, controls_, board_);
    layOut();
    dialog->onResized([this] { layOut(); });

    const QRect inner = dialog->geometry(), outer = dialog->frameGeometry();
    frameMargins_ = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // The dialog logic places its board in the template's own layout; a window
    // restored larger then grows it from there, as one enlarged by hand does.
    handler.onInit();
    placeWindow();
}

void QtPlatform::layOut() {
    const DialogLayout layout = layOutDialog(units_, Size{dialog_->width(), dialog_->height()});
    for (const auto& [id, r] : layout.controls) {
        if (QWidget* w = control(id)) w->setGeometry(toQRect(r));
    }
    board_->setGeometry(dialog_->rect());
    board_->setGrowth(layout.growth, layout.down);
    // What stands in the output box's place, or just above it, moves with it.
    if (staleNote_) staleNote_->setGeometry(toQRect(layout.aboveOutput(staleNote_->height())));
    if (plot_) plot_->setGeometry(toQRect(layout.output()));
}

void QtPlatform::placeWindow() {
    QScreen* screen = dialog_->screen() ? dialog_->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    if (settings_) {
        const QSize room = screen->availableGeometry().size();
        const QSize smallest = dialog_->minimumSize();
        const Size kept{settings_->intValue(settingKeys::windowWidth, 0, 0, 100000),
                        settings_->intValue(settingKeys::windowHeight, 0, 0, 100000)};
        const Size size = keptWindowSize(kept, Size{room.width(), room.height()},
                                         Size{smallest.width(), smallest.height()});
        dialog_->resize(size.width, size.height);
    }
    QRect frame = dialog_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    if (settings_) {
        const QPoint kept(settings_->intValue(settingKeys::windowX, frame.x(), -100000, 100000),
                          settings_->intValue(settingKeys::windowY, frame.y(), -100000, 100000));
        const Point probe = titleBarPoint(Point{kept.x(), kept.y()}, frame.width());
        const QScreen* there = QGuiApplication::screenAt(QPoint(probe.x, probe.y));
        if (there && there->availableGeometry().contains(kept)) frame.moveTopLeft(kept);
    }
    dialog_->move(frame.topLeft());
}

void QtPlatform::saveWindowPlace() const {
    if (!settings_ || !dialog_) return;
    const QPoint place = dialog_->pos();
    settings_->setInt(settingKeys::windowX, place.x());
    settings_->setInt(settingKeys::windowY, place.y());
    settings_->setInt(settingKeys::windowWidth, dialog_->width());
    settings_->setInt(settingKeys::windowHeight, dialog_->height());
}

QDialog* QtPlatform::dialog() const {
    return dialog_.data();
}

QWidget* QtPlatform::control(int controlId) const {
    const auto it = controls_.find(controlId);
    return it == controls_.end() ? nullptr : it->second;
}

QWidget* QtPlatform::boardWidget() const {
    return board_;
}

const QImage& QtPlatform::boardImage() const {
    return board_->image();
}

Rect QtPlatform::boardRect() const {
    return board_ ? board_->boardRect() : Rect{};
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

bool QtPlatform::sendMessage(int message) {
    if (calls_.closing()) return false;
    return onGuiThread([&] { handler_->onMessage(message); });
}

void QtPlatform::post(std::function<void()> call) {
    calls_.post(std::move(call));
}

void QtPlatform::beginClose() {
    calls_.beginClose();
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
    if (board_) board_->confine(screen);
}

void QtPlatform::releaseCursor() {
    if (board_) board_->release();
}

bool QtPlatform::loadTileArtwork(Surface& tiles) {
    return BoardWidget::loadArtwork(tiles);
}

Color QtPlatform::buttonFaceColor() const {
    Color c = 0;
    onGuiThread([&] { c = dialog_->palette().color(QPalette::Button).rgb() & 0xFFFFFFu; });
    return c;
}

void QtPlatform::invalidateBoard(Rect board, const Surface& surface) {
    onGuiThread([&] { board_->showSurface(board, surface); });
}

void QtPlatform::setBoardTiles(const BoardTiles& tiles) {
    onGuiThread([&] { board_->setTiles(tiles); });
}

void QtPlatform::endDialog(int result) {
    onGuiThread([&] {
        saveWindowPlace();
        dialog_->done(result);
    });
}

}  // namespace fifteen::ui
