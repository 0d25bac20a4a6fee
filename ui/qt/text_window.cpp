#include "ui/qt/text_window.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/qt/dialog_fonts.h"

namespace fifteen::ui {

QDialog* showTextWindow(QWidget* parent, const QString& title, const QString& text) {
    // Found again by its title: one window per title.
    const QString name = QStringLiteral("textWindow:") + title;
    auto* window = parent->findChild<QDialog*>(name, Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new QDialog(parent);
        window->setObjectName(name);
        window->setWindowTitle(title);
        auto* layout = new QVBoxLayout(window);
        auto* edit = new QPlainTextEdit(window);
        edit->setReadOnly(true);
        edit->setFont(outputFont());
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setAccessibleName(title);
        layout->addWidget(edit);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
        QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
        layout->addWidget(buttons);
    }
    auto* edit = window->findChild<QPlainTextEdit*>();
    edit->setPlainText(text);
    // Wide and tall enough for the text, as far as the screen allows.
    const QFontMetrics metrics(edit->font());
    int columns = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        columns = std::max(columns, int(line.size()));
    const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 2;
    edit->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * (columns + 2) + 24,
                         metrics.lineSpacing() * std::min(lines, 40) + 16);
    window->adjustSize();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace fifteen::ui
