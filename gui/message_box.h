// The program's message boxes: a modal box captioned "TAVO" with the icon the
// message calls for. Tests replace the box by a hook that receives the message.
#pragma once

#include <functional>
#include <string>

#include "shell/port.h"

class QWidget;

namespace tavo::gui {

// Shows `textCp932` (code page 932, CR LF) in a modal box with an OK button and
// the icon of `icon` (stop, information or none). With a hook set, the hook
// receives the message instead and no box appears.
void ShowMessageBox(QWidget* parent, const std::string& textCp932, tavo::IconStyle icon);

// Routes every message to `hook` instead of a modal box; an empty function
// restores the boxes.
void SetMessageBoxHookForTests(std::function<void(const std::string&, tavo::IconStyle)> hook);

}  // namespace tavo::gui
