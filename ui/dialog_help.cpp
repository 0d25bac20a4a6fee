// The dialog's Help (F1) and About (the board's menu) windows.

#include "fifteen/version.h"
#include "ui/dialog_texts.h"
#include "ui/help_text.h"
#include "ui/main_dialog.h"

namespace fifteen::ui {

void MainDialog::showHelp() {
    platform_.showTextWindow(helpTitle, helpText);
}

void MainDialog::showAbout() {
    std::string text = std::string("fifteen ") + versionString + " (git " + gitRevision + ")\n";
    text += "The optimal 15-puzzle solver.\n\n";
    text += startupStatus;
    text += "\n\n";
    text += licenceText;
    text += "\n";
    platform_.showTextWindow(aboutTitle, text);
}

}  // namespace fifteen::ui
