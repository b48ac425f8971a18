// Shared set-up of the desktop program's tests: a profile folder of their
// own, message boxes and questions answered by the test, files in a
// temporary folder.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QTemporaryDir>

#include "gui/main_frame.h"
#include "shell/port.h"

namespace tavo::gui::test {

// Points XDG_CONFIG_HOME at a fresh temporary folder (even when the test is
// run by hand, not through CTest) and routes message boxes, the save
// question and the file dialogs to the recorders below.
class GuiTestEnvironment {
 public:
  GuiTestEnvironment();
  ~GuiTestEnvironment();

  // Clears the recorded messages and the profile; answers default to Cancel
  // and no file name.
  void Reset();

  QString TempPath(const QString& name) const { return files_.filePath(name); }
  std::string ProfilePath() const;

  // Messages shown since the last Reset, in UTF-8, with their icons.
  std::vector<std::pair<std::string, tavo::IconStyle>> messages;
  // Questions asked, and the answer to give.
  std::vector<QString> questions;
  SaveAnswer answer = SaveAnswer::kCancel;
  // File dialog requests and the name to return (empty: cancelled).
  int fileDialogs = 0;
  QString fileName;

 private:
  QTemporaryDir config_;
  QTemporaryDir files_;
};

std::string ReadBytes(const QString& path);
void WriteBytes(const QString& path, const std::string& bytes);
// UTF-8 source text as code page 932 bytes.
std::string Sjis(const std::string& utf8);

}  // namespace tavo::gui::test
