// The Qt facade's controls: their texts, states and fonts, the output box's
// stale mark and move mark, focus, the clipboard, the menu, the marks over the
// board, the review's plot and the text input.

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include "ui/dialog_ids.h"
#include "ui/qt/board_widget.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/plot_widget.h"
#include "ui/qt/template_controls.h"
#include "ui/qt/text_window.h"
#include "ui/qt_platform.h"

namespace fifteen::ui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

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

void QtPlatform::setOutputStale(std::string_view note, int end) {
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
        staleEnd_ = note.empty() ? 0 : end;
        showOutputMark();
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
    // The document holds "\n" where the dialog's text has "\r\n".
    const auto toDocument = [&](int offset) {
        return offset - static_cast<int>(text.left(offset).count(QLatin1Char('\r')));
    };
    if (staleEnd_ > 0) {
        // Dimmed: the stale part in the colour of disabled text, still selectable.
        QTextEdit::ExtraSelection dim;
        dim.cursor = QTextCursor(box->document());
        dim.cursor.setPosition(toDocument(std::min(staleEnd_, static_cast<int>(text.size()))),
                               QTextCursor::KeepAnchor);
        dim.format.setForeground(dialog_->palette().color(QPalette::Disabled, QPalette::Text));
        marks.append(dim);
    }
    if (markBegin_ < markEnd_ && markEnd_ <= text.size()) {
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
            if (item.separatorBefore && !menu.isEmpty()) menu.addSeparator();
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

void QtPlatform::setBoardNote(std::string_view text) {
    onGuiThread([&] { board_->setNote(toQString(text)); });
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

std::optional<std::string> QtPlatform::askText(const TextRequest& request) {
    std::optional<std::string> answer;
    onGuiThread([&] {
        QInputDialog input(dialog_.data());
        input.setInputMode(QInputDialog::TextInput);
        input.setWindowTitle(toQString(request.title));
        input.setLabelText(toQString(request.label));
        input.setTextValue(toQString(request.initial));
        if (request.selectBegin != request.selectEnd) {
            // Offsets into the UTF-8 text, as characters of the line.
            const std::string_view initial = request.initial;
            const auto at = [&](int offset) {
                return static_cast<int>(
                    toQString(initial.substr(0, static_cast<size_t>(offset))).size());
            };
            const int begin = at(request.selectBegin), end = at(request.selectEnd);
            // Once shown: showing selects the whole line.
            QTimer::singleShot(0, &input, [&input, begin, end] {
                if (auto* line = input.findChild<QLineEdit*>())
                    line->setSelection(begin, end - begin);
            });
        }
        if (input.exec() == QDialog::Accepted) answer = input.textValue().toStdString();
    });
    return answer;
}

}  // namespace fifteen::ui
