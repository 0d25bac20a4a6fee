#include "ui/qt/control_help.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "ui/help_text.h"

namespace fifteen::ui {

void addControlHelp(QWidget* dialog, const std::map<int, QWidget*>& controls, QWidget* board) {
    for (const ControlHelp& help : controlHelp) {
        const auto it = controls.find(help.id);
        if (it == controls.end()) continue;
        QWidget* control = it->second;
        QString tip = QString::fromLatin1(help.description);
        control->setAccessibleName(QString::fromLatin1(help.name));
        control->setAccessibleDescription(tip);
        auto* button = qobject_cast<QAbstractButton*>(control);
        if (!button || help.mnemonic == 0) continue;
        const QKeySequence keys(Qt::ALT | static_cast<Qt::Key>(help.mnemonic));
        // A disabled button ignores click(), as it ignores the mouse.
        auto* shortcut = new QShortcut(keys, dialog);
        QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
        tip += QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + QLatin1Char(')');
        button->setToolTip(tip);
        button->setAccessibleDescription(tip);
    }
    board->setAccessibleName(QString::fromLatin1(boardName));
    board->setToolTip(QString::fromLatin1(boardToolTip));
}

}  // namespace fifteen::ui
