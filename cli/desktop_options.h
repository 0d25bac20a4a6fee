#pragma once

// The desktop program's command line, read before its window system starts (so
// --version, --help and mistakes are answered without a display). It shares the
// values of --parallel and --tables with fifteen-solve; options of one dash are
// the window system's and go on to it.

#include <optional>
#include <string>
#include <vector>

#include "search/solver_state.h"

namespace fifteen::cli {

struct DesktopOptions {
    enum class Action { run, version, help, refuse };
    Action action = Action::run;
    ParallelDesign design = ParallelDesign::shared;
    std::optional<bool> strongerTables;  // none given: the kept choice
    bool resetSettings = false;
    std::string error;  // with refuse: what is wrong, for one line on stderr
};

// args: the arguments after the program's name.
DesktopOptions parseDesktopOptions(const std::vector<std::string>& args);

// The usage --help prints, and the last lines of a refusal.
extern const char* const desktopUsage;

}  // namespace fifteen::cli
