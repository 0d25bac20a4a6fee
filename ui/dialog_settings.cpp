// The choices the dialog keeps between runs (ui/settings.h): read once at
// start-up; each is written where it changes.

#include "ui/main_dialog.h"

namespace fifteen::ui {

void MainDialog::restoreSettings() {
    const int fastest = static_cast<int>(playbackSpeeds.size()) - 1;
    speed_ = settings_->intValue(settingKeys::playbackSpeed, normalSpeed, 0, fastest);
    pasteGoal_ = settings_->boolValue(settingKeys::pasteBlankFirst, false) ? Goal::blankFirst
                                                                           : Goal::blankLast;
    // Shown once the tables are ready (the marks wait for them).
    marks_.setOn(settings_->boolValue(settingKeys::showOptimalMoves, false));
    // Unless the command line chose for this run.
    if (stronger_) stronger_->choose(settings_->boolValue(settingKeys::strongerTables, false));
}

}  // namespace fifteen::ui
