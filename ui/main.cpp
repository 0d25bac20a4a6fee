// The desktop program: the main dialog over the Qt platform layer.

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/desktop_options.h"
#include "fifteen/version.h"
#include "ui/main_dialog.h"
#include "ui/qt/qt_settings.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so they work without a display.
    const fifteen::cli::DesktopOptions options =
        fifteen::cli::parseDesktopOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
        case fifteen::cli::DesktopOptions::Action::version:
            std::printf("fifteen %s (%s)\n", fifteen::versionString, fifteen::gitRevision);
            return 0;
        case fifteen::cli::DesktopOptions::Action::help:
            std::fputs(fifteen::cli::desktopUsage, stdout);
            return 0;
        case fifteen::cli::DesktopOptions::Action::refuse:
            std::fprintf(stderr, "fifteen: %s\n%s", options.error.c_str(),
                         fifteen::cli::desktopUsage);
            return 2;
        case fifteen::cli::DesktopOptions::Action::run:
            break;
    }
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/fifteen.png")));
    fifteen::ui::QtSettings settings;
    if (options.resetSettings) settings.clear();
    fifteen::ui::QtPlatform platform;
    platform.keepWindowIn(settings);
    fifteen::ui::ProgramServices services(options.design);
    fifteen::ui::MainDialog dialog(platform, services);
    dialog.rememberIn(settings);
    if (options.strongerTables) dialog.setStrongerTables(*options.strongerTables);
    return platform.run(dialog);
}
