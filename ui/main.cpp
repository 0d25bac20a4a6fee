// The desktop program: the main dialog over the Qt platform layer.

#include <QApplication>
#include <QIcon>

#include "ui/main_dialog.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/fifteen.png")));
    fifteen::ui::QtPlatform platform;
    fifteen::ui::MainDialog dialog(platform);
    return platform.run(dialog);
}
