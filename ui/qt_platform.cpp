#include "ui/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

#include "ui/dialog_ids.h"
#include "ui/dialog_layout.h"
#include "ui/qt/board_widget.h"
#include "ui/qt/control_help.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/plot_widget.h"
#include "ui/qt/template_controls.h"
#include "ui/qt/text_window.h"

namespace fifteen::ui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

    placeWindow();
    const QRect inner = dialog->geometry(), outer = dialog->frameGeometry();
    frameMargins_ = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
    handler.onInit();
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

void QtPlatform::setCaption(std::string_view text) {
    onGuiThread([&] { dialog_->setWindowTitle(toQString(text)); });
}

void QtPlatform::setControlText(int controlId, std::string_view text) {
    onGuiThread([&] {
        ui::setControlText(control(controlId), toQString(text));
        // New text, new document: the mark is drawn again where it stands.
        if (controlId == idOutput && markBegin_ != markEnd_) showOutputMark();
    });
}

std::string QtPlatform::controlText(int controlId) const {
    QString s;
    onGuiThread([&] { s = ui::controlText(control(controlId)); });
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

void QtPlatform::setOutputStale(std::string_view note) {
    onGuiThread([&] {
        QWidget* box = control(idOutput);
        if (!box) return;
        if (!staleNote_) {
            // A static text of the template's kind, in the gap between the buttons'
            // groups and the output box; hidden, it leaves the layout as it was.
            staleNote_ = createControl({0, ControlKind::leftText, "", 0, 0, 0, 0}, dialog_.data());
            staleNote_->setFont(dialog_->font());
            const int height = QFontMetrics(dialog_->font()).height();
            staleNote_->setGeometry(box->x(), box->y() - height, box->width(), height);
        }
        ui::setControlText(staleNote_, toQString(note));
        staleNote_->setVisible(!note.empty());
        // Dimmed: the text in the colour of disabled text, still selectable.
        QPalette palette = box->palette();
        const QPalette normal = dialog_->palette();
        const QColor text = note.empty() ? normal.color(QPalette::Active, QPalette::Text)
                                         : normal.color(QPalette::Disabled, QPalette::Text);
        palette.setColor(QPalette::Active, QPalette::Text, text);
        palette.setColor(QPalette::Inactive, QPalette::Text, text);
        box->setPalette(palette);
    });
}

void QtPlatform::markOutput(int begin, int end) {
    onGuiThread([&] {
        markBegin_ = begin;
        markEnd_ = end;
        showOutputMark();
    });
}

void QtPlatform::showOutputMark() {
    auto* box = qobject_cast<QPlainTextEdit*>(control(idOutput));
    if (!box) return;
    QList<QTextEdit::ExtraSelection> marks;
    const QString text = ui::controlText(box);
    if (markBegin_ < markEnd_ && markEnd_ <= text.size()) {
        // The document holds "\n" where the dialog's text has "\r\n".
        const auto toDocument = [&](int offset) {
            return offset - static_cast<int>(text.left(offset).count(QLatin1Char('\r')));
        };
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(box->document());
        mark.cursor.setPosition(toDocument(markBegin_));
        mark.cursor.setPosition(toDocument(markEnd_), QTextCursor::KeepAnchor);
        mark.format.setBackground(box->palette().color(QPalette::Highlight));
        mark.format.setForeground(box->palette().color(QPalette::HighlightedText));
        mark.format.setFontWeight(QFont::Bold);
        marks.append(mark);
        // Scrolled by whole lines until the mark is in view; the text cursor and
        // any selection stay where they are.
        QScrollBar* bar = box->verticalScrollBar();
        const int line = QFontMetrics(box->font()).lineSpacing();
        const QRect shown = box->cursorRect(mark.cursor);
        const int height = box->viewport()->height();
        if (shown.bottom() >= height && line > 0)
            bar->setValue(bar->value() + (shown.bottom() - height) / line + 1);
        else if (shown.top() < 0 && line > 0)
            bar->setValue(bar->value() - (-shown.top() + line - 1) / line);
    }
    box->setExtraSelections(marks);
}

void QtPlatform::setBoardDescription(std::string_view text) {
    onGuiThread([&] {
        // The dialog holds the board's keyboard focus, so it is what a screen reader
        // announces when the board is focused.
        board_->setAccessibleDescription(toQString(text));
        dialog_->setAccessibleDescription(toQString(text));
    });
}

void QtPlatform::showTextWindow(std::string_view title, std::string_view text) {
    onGuiThread([&] { ui::showTextWindow(dialog_.data(), toQString(title), toQString(text)); });
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
            action->setCheckable(item.checkable);
            action->setChecked(item.checked);
            action->setData(item.action);
        }
        if (QAction* picked = menu.exec(dialog_->mapToGlobal(QPoint(client.x, client.y))))
            chosen = picked->data().toInt();
    });
    return chosen;
}

void QtPlatform::setBoardMarks(const BoardMarks& marks) {
    onGuiThread([&] { board_->setMarks(marks); });
}

void QtPlatform::showReviewPlot(const ReviewPlot* plot) {
    onGuiThread([&] {
        QWidget* box = control(idOutput);
        if (!plot) {
            if (plot_) plot_->hide();
            return;
        }
        if (!plot_) plot_ = new PlotWidget(dialog_.data());
        plot_->setFont(dialog_->font());
        plot_->setGeometry(box->geometry());
        plot_->setPlot(*plot);
        plot_->show();
        plot_->raise();
    });
}

QWidget* QtPlatform::plotWidget() const {
    return plot_;
}

std::optional<std::string> QtPlatform::askText(std::string_view title, std::string_view label,
                                               std::string_view initial) {
    std::optional<std::string> answer;
    onGuiThread([&] {
        bool ok = false;
        const QString text =
            QInputDialog::getText(dialog_.data(), toQString(title), toQString(label),
                                  QLineEdit::Normal, toQString(initial), &ok);
        if (ok) answer = text.toStdString();
    });
    return answer;
}

void QtPlatform::endDialog(int result) {
    onGuiThread([&] {
        saveWindowPlace();
        dialog_->done(result);
    });
}

}  // namespace fifteen::ui
