// The user manual: shown in the program (the help commands) from the copy
// built into it, and as the installed HTML page in the user's browser (the
// home-page command).
#pragma once

#include <QString>

class QWidget;

namespace tavo::gui {

// The manual's Markdown text as built into the program.
QString ManualMarkdown();

// The installed manual's HTML page (beside the program's installation, else
// the build folder's copy); empty when none exists.
QString InstalledManualPage();

// Shows the manual in a window of the program (one window, raised when
// already open).
void ShowManual(QWidget* parent);

}  // namespace tavo::gui
