#include "cli/desktop_options.h"

#include "cli/options.h"

namespace fifteen::cli {

const char* const desktopUsage =
    "usage: fifteen [--version] [--help] [--parallel shared|items]\n"
#ifdef _WIN32
    "               [--tables default|7-8] [--reset-settings]\n"
#else
    "               [--tables default|7-8] [--reset-settings] [Qt options]\n"
#endif
    "The desktop optimal 15-puzzle solver; fifteen-solve is its command line.\n"
    "--parallel: how more than one thread searches: shared (the default; every\n"
    "thread on one bound, many small items) or items (one thread per item).\n"
    "--tables 7-8: start with \"Stronger tables\" on (the context menu's toggle,\n"
#ifdef _WIN32
    "key T): the additive 7+8 tables, loaded from %LOCALAPPDATA%\\fifteen or built\n"
#else
    "key T): the additive 7+8 tables, loaded from $XDG_CACHE_HOME/fifteen or built\n"
#endif
    "there first in the background; default: off. Without --tables, the choice\n"
    "kept from the last run.\n"
    "--reset-settings: forget the window's place, the playback speed and the\n"
    "menu's choices kept from earlier runs, and start as on the first run.\n";

namespace {

// Qt reads options of one dash (-platform offscreen, -style fusion, ...); the
// Windows dialog reads none, so there they are as unknown as any other.
#ifdef _WIN32
constexpr bool windowSystemReadsNone = true;
#else
constexpr bool windowSystemReadsNone = false;
#endif

DesktopOptions refuse(std::string error) {
    DesktopOptions options;
    options.action = DesktopOptions::Action::refuse;
    options.error = std::move(error);
    return options;
}

}  // namespace

DesktopOptions parseDesktopOptions(const std::vector<std::string>& args) {
    DesktopOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--version") {
            options.action = DesktopOptions::Action::version;
            return options;
        }
        if (arg == "--help") {
            options.action = DesktopOptions::Action::help;
            return options;
        }
        if (arg == "--reset-settings") {
            options.resetSettings = true;
        } else if (arg == "--parallel" || arg == "--tables") {
            if (i + 1 == args.size()) return refuse(arg + " needs a value");
            const std::string& value = args[++i];
            if (arg == "--parallel") {
                const std::optional<ParallelDesign> design = parallelDesignNamed(value);
                if (!design)
                    return refuse("--parallel must be shared or items, not '" + value + "'");
                options.design = *design;
            } else {
                const std::optional<TableChoice> tables = tableChoiceNamed(value);
                if (!tables) return refuse("--tables must be default or 7-8, not '" + value + "'");
                options.strongerTables = *tables == TableChoice::stronger;
            }
        } else if (arg.rfind("--", 0) == 0 || (windowSystemReadsNone && arg.rfind('-', 0) == 0)) {
            return refuse("unknown option '" + arg + "'");
        } else if (arg.rfind('-', 0) != 0) {
            return refuse("unexpected argument '" + arg + "'");
        }
        // One dash: the window system's (-platform offscreen, -style fusion, ...);
        // its value, if it takes one, follows without a dash and is passed on too.
        else if (i + 1 < args.size() && args[i + 1].rfind('-', 0) != 0) {
            ++i;
        }
    }
    return options;
}

}  // namespace fifteen::cli
