#include "ui/qt/dialog_fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace fifteen::ui {

QFont dialogFont() {
    QFont font = QApplication::font();
    // 10 pt at the screen's logical dpi: 13 pixels at 96 dpi, more for a user who
    // asks for larger fonts.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPixelSize(static_cast<int>(std::lround(10.0 * dpi / 72.0)));
    return font;
}

QFont outputFont() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

DialogBaseUnits baseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    return DialogBaseUnits::fromAlphabet(
        metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        metrics.height());
}

std::vector<RoomNeeded> roomNeeded(const QFont& font) {
    const QFontMetrics metrics(font), output(outputFont());
    QPlainTextEdit probe;
    probe.setFont(outputFont());
    TextMetrics m;
    m.fontHeight = metrics.height();
    m.width = [&metrics](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    m.outputWidth = [&output](std::string_view text) {
        return output.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    m.outputLineSpacing = output.lineSpacing();
    m.outputPadding =
        2 * (static_cast<int>(std::ceil(probe.document()->documentMargin())) + probe.frameWidth()) +
        probe.cursorWidth();
    m.buttonPadding = 2 * (probe.style()->pixelMetric(QStyle::PM_ButtonMargin) +
                           probe.style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    return roomNeeded(m);
}

DialogBaseUnits fittingUnits(const QFont& font) {
    return fittingUnits(baseUnitsOf(font), roomNeeded(font));
}

}  // namespace fifteen::ui
