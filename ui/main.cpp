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
    std::optional<bool> strongerTables;  // none given: the kept choice
    // Answered before Qt starts, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("fifteen %s (%s)\n", fifteen::versionString, fifteen::gitRevision);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(
                "usage: fifteen [--version] [--help] [--parallel shared|items]\n"
                "               [--tables default|7-8] [--reset-settings] [Qt options]\n"
                "The desktop optimal 15-puzzle solver; fifteen-solve is its command line.\n"
                "--parallel: how more than one thread searches: shared (the default; every\n"
                "thread on one bound, many small items) or items (one thread per item).\n"
                "--tables 7-8: start with \"Stronger tables\" on (the context menu's toggle,\n"
                "key T): the additive 7+8 tables, loaded from $XDG_CACHE_HOME/fifteen or built\n"
                "there first in the background; default: off. Without --tables, the choice\n"
                "kept from the last run.\n"
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
        if (std::strcmp(argv[i], "--tables") == 0) {
            const char* value = i + 1 < argc ? argv[i + 1] : "";
            if (std::strcmp(value, "7-8") == 0) {
                strongerTables = true;
            } else if (std::strcmp(value, "default") == 0) {
                strongerTables = false;
            } else {
                std::fprintf(stderr, "fifteen: --tables takes default or 7-8\n");
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
    if (strongerTables) dialog.setStrongerTables(*strongerTables);
    return platform.run(dialog);
}
