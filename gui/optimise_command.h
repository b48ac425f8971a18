// The optimise command of the editor: runs the editor's model text inside the
// modal progress window and keeps the outcome for the results and print
// commands (g_lastResult, g_lastModelText in shell/optimise.h).
#pragma once

#include <string>

class QWidget;

namespace tavo::gui {

// The whole command: clears the last outcome, refuses to run outside a
// Japanese locale (English message) and on an empty text, reloads the
// settings from the profile, and runs the model in a modal CProgressDlg that
// starts the run by itself and closes when the run has ended. Returns when the
// dialog has closed; nothing happens while another run is in progress.
void OptimiseCommand(QWidget* parent, const std::string& modelTextCp932);

// True when the locale the environment names (LC_ALL, else LC_MESSAGES, else
// LANG; the first one set and not empty) is Japanese.
bool JapaneseLocale();

}  // namespace tavo::gui
