#include "ui/qt/template_controls.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace fifteen::ui {

namespace {

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

// A static text that shows what fits of its text, elided with "…", and the whole
// text as its tooltip when it does not fit. Its text stays whole.
class ElidingLabel : public QLabel {
  public:
    using QLabel::QLabel;

    bool elided() const { return fontMetrics().horizontalAdvance(text()) > contentsRect().width(); }
    void updateToolTip() { setToolTip(elided() ? text() : QString()); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect room = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
        style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(),
                              shown, foregroundRole());
    }
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        updateToolTip();
    }
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) updateToolTip();
    }
};

QPlainTextEdit* createOutputBox(QWidget* parent) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setReadOnly(true);
    edit->setTabChangesFocus(true);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long report with the lines below it scrolls rather than being cut off.
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A read-only edit box shows the dialog's own background, not a white field.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    // The viewport shows the dialog through it rather than filling itself: at a
    // fractional device pixel ratio its rounded fill covers the frame's right and
    // bottom edges.
    edit->viewport()->setAutoFillBackground(false);
    return edit;
}

}  // namespace

QWidget* createControl(const ControlTemplate& row, QWidget* parent) {
    const QString text = QString::fromLatin1(row.text);
    switch (row.kind) {
        case ControlKind::groupBox:
            return new TemplateGroupBox(text, parent);
        case ControlKind::pushButton:
        case ControlKind::pushCheckBox: {
            auto* button = new QPushButton(text, parent);
            button->setCheckable(row.kind == ControlKind::pushCheckBox);
            return button;
        }
        case ControlKind::outputBox:
            return createOutputBox(parent);
        case ControlKind::etchedLine: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
        case ControlKind::leftText:
        case ControlKind::rightText: {
            auto* label = new ElidingLabel(text, parent);
            label->setTextFormat(Qt::PlainText);  // a status such as "a<b" is no markup
            const Qt::Alignment side =
                row.kind == ControlKind::leftText ? Qt::AlignLeft : Qt::AlignRight;
            label->setAlignment(side | Qt::AlignTop);
            return label;
        }
    }
    return nullptr;
}

void setControlText(QWidget* control, QString text) {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        edit->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
        if (auto* eliding = dynamic_cast<ElidingLabel*>(label)) eliding->updateToolTip();
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    }
}

QString controlText(const QWidget* control) {
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(control)) {
        return edit->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    return QString();
}

}  // namespace fifteen::ui
