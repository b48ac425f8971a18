#include "gui_test_support.h"

#include <QDir>
#include <QFile>

#include "gui/message_box.h"
#include "shell/codec.h"
#include "shell/settings.h"

namespace tavo::gui::test {

GuiTestEnvironment::GuiTestEnvironment() {
  qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
  SetMessageBoxHookForTests([this](const std::string& textCp932, tavo::IconStyle icon) {
    messages.emplace_back(tavo::Cp932ToUtf8(textCp932), icon);
  });
  SetSaveQuestionForTests([this](QWidget*, const QString& text) {
    questions.push_back(text);
    return answer;
  });
  SetFileNamePromptForTests([this](QWidget*, bool, const QString&) {
    ++fileDialogs;
    return fileName;
  });
}

GuiTestEnvironment::~GuiTestEnvironment() {
  SetMessageBoxHookForTests({});
  SetSaveQuestionForTests({});
  SetFileNamePromptForTests({});
}

void GuiTestEnvironment::Reset() {
  messages.clear();
  questions.clear();
  answer = SaveAnswer::kCancel;
  fileDialogs = 0;
  fileName.clear();
  QFile::remove(QString::fromStdString(ProfilePath()));
}

std::string GuiTestEnvironment::ProfilePath() const { return tavo::DefaultProfilePath(); }

std::string ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
  return f.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes) {
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string Sjis(const std::string& utf8) {
  std::string out;
  tavo::Utf8ToCp932(utf8, out);
  return out;
}

}  // namespace tavo::gui::test
