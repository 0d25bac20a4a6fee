// The desktop program: the main dialog over the Qt platform layer.

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

#include "fifteen/version.h"
#include "ui/main_dialog.h"
#include "ui/qt/qt_settings.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
    auto design = fifteen::ParallelDesign::shared;
    bool resetSettings = false;
    // Answered before Qt starts, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("fifteen %s (%s)\n", fifteen::versionString, fifteen::gitRevision);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(
                "usage: fifteen [--version] [--help] [--parallel shared|items] [--reset-settings]\n"
                "               [Qt options]\n"
                "The desktop optimal 15-puzzle solver; fifteen-solve is its command line.\n"
                "--parallel: how more than one thread searches: shared (the default; every\n"
                "thread on one bound, many small items) or items (one thread per item).\n"
                "--reset-settings: forget the window's place, the playback speed and the\n"
                "menu's choices kept from earlier runs, and start as on the first run.\n");
            return 0;
        }
        if (std::strcmp(argv[i], "--reset-settings") == 0) resetSettings = true;
        if (std::strcmp(argv[i], "--parallel") == 0) {
            const char* value = i + 1 < argc ? argv[i + 1] : "";
            if (std::strcmp(value, "shared") == 0) {
                design = fifteen::ParallelDesign::shared;
            } else if (std::strcmp(value, "items") == 0) {
                design = fifteen::ParallelDesign::items;
            } else {
                std::fprintf(stderr, "fifteen: --parallel takes shared or items\n");
                return 2;
            }
        }
    }
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/fifteen.png")));
    fifteen::ui::QtSettings settings;
    if (resetSettings) settings.clear();
    fifteen::ui::QtPlatform platform;
    platform.keepWindowIn(settings);
    fifteen::ui::ProgramServices services(design);
    fifteen::ui::MainDialog dialog(platform, services);
    dialog.rememberIn(settings);
    return platform.run(dialog);
}
