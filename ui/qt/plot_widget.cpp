#include "ui/qt/plot_widget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace fifteen::ui {

namespace {

const QColor distanceColor(0x1F, 0x5F, 0xC0);
const QColor lostColor(0xC8, 0x3C, 0x28);

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setAccessibleName(QStringLiteral("Plot of the checked moves"));
}

void PlotWidget::setPlot(const ReviewPlot& plot) {
    plot_ = plot;
    setAccessibleDescription(QString::fromStdString(plot.summary));
    update();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = palette();
    const QFontMetrics fm(font());
    const int pad = std::max(4, fm.height() / 3);
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    // The summary, wrapped, and below it how far from the goal the moves ended.
    QRect text = rect().adjusted(pad, pad, -pad, -pad);
    const QString summary = QString::fromStdString(plot_.summary);
    const QRect used = fm.boundingRect(text, Qt::TextWordWrap, summary);
    p.setPen(pal.color(QPalette::Text));
    p.drawText(text, Qt::TextWordWrap, summary);
    int top = used.bottom() + pad;
    if (!plot_.endNote.empty()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(lostColor);
        p.drawText(QRect(text.left(), top, text.width(), fm.height()), Qt::AlignLeft,
                   QString::fromStdString(plot_.endNote));
        p.setFont(font());
        top += fm.height() + pad;
    }

    const int moves = std::max({plot_.count(), plot_.startLength, 1});
    const int highest = std::max(plot_.top, 1);
    const int labelWidth = fm.horizontalAdvance(QString::number(highest)) + pad;
    const QRectF area(
        text.left() + labelWidth, top + fm.height() / 2.0,
        text.width() - labelWidth - fm.horizontalAdvance(QString::number(moves)) / 2.0,
        text.bottom() - top - fm.height() * 1.5 - pad);
    if (area.width() < 20 || area.height() < 20) return;
    const auto at = [&](double move, double distance) {
        return QPointF(area.left() + area.width() * move / moves,
                       area.bottom() - area.height() * distance / highest);
    };

    // Axes and their ends' numbers.
    p.setPen(QPen(pal.color(QPalette::Text), 1));
    p.drawLine(area.bottomLeft(), area.topLeft());
    p.drawLine(area.bottomLeft(), area.bottomRight());
    const auto label = [&](QPointF anchor, const QString& s, Qt::Alignment align) {
        const QRectF box(anchor.x() - 100, anchor.y() - 100, 200, 200);
        QRectF cell = box;
        if (align & Qt::AlignRight) cell.setRight(anchor.x() - pad / 2.0);
        if (align & Qt::AlignTop) cell.setTop(anchor.y() + 1);
        p.drawText(cell, static_cast<int>(align), s);
    };
    label(at(0, 0), QStringLiteral("0"), Qt::AlignRight | Qt::AlignVCenter);
    label(at(0, highest), QString::number(highest), Qt::AlignRight | Qt::AlignVCenter);
    label(at(moves, 0), QString::number(moves), Qt::AlignHCenter | Qt::AlignTop);
    label(at(moves / 2.0, 0), QStringLiteral("moves"), Qt::AlignHCenter | Qt::AlignTop);

    // The ideal line: one nearer a move, from the start's length to the goal.
    QPen ideal(pal.color(QPalette::Mid), 1.5, Qt::DashLine);
    p.setPen(ideal);
    p.drawLine(at(0, plot_.startLength), at(plot_.startLength, 0));

    QPainterPath path(at(0, plot_.distanceAt(0)));
    for (int32_t m = 1; m <= plot_.count(); ++m) path.lineTo(at(m, plot_.distanceAt(m)));
    p.setPen(QPen(distanceColor, 2));
    p.drawPath(path);

    const double radius = std::max(3.0, fm.height() / 4.0);
    p.setPen(QPen(lostColor, 1.5));
    p.setBrush(lostColor);
    for (const int32_t m : plot_.lost) p.drawEllipse(at(m, plot_.distanceAt(m)), radius, radius);
}

}  // namespace fifteen::ui
