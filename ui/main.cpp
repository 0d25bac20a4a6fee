// The desktop program: the main dialog over the Qt platform layer.

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

#include "fifteen/version.h"
#include "ui/main_dialog.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("fifteen %s (%s)\n", fifteen::versionString, fifteen::gitRevision);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(
                "usage: fifteen [--version] [--help] [Qt options]\n"
                "The desktop optimal 15-puzzle solver; fifteen-solve is its command line.\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/fifteen.png")));
    fifteen::ui::QtPlatform platform;
    fifteen::ui::MainDialog dialog(platform);
    return platform.run(dialog);
}
