#include "gui/optimise_command.h"

#include <cctype>
#include <cstdlib>

#include "gui/message_box.h"
#include "gui/progress_dlg.h"
#include "gui/settings_dlg.h"
#include "shell/optimise.h"
#include "shell/settings.h"
#include "shell/texts.h"

namespace tavo::gui {
namespace {

// The port of a command that ends before any run: only its messages appear.
class MessageOnlyPort : public tavo::RunPort {
 public:
  explicit MessageOnlyPort(QWidget* parent) : parent_(parent) {}
  void SetField(tavo::ProgressField, const std::string&) override {}
  void PumpOneMessage() override {}
  void ShowMessage(const std::string& text, tavo::IconStyle iconStyle) override {
    ShowMessageBox(parent_, text, iconStyle);
  }
  tavo::TimePoint Now() override { return tavo::Clock::now(); }
  std::string FormatDateTime(tavo::TimePoint) override { return {}; }

 private:
  QWidget* parent_;
};

// A locale name such as "ja_JP.UTF-8", "ja", "ja_JP@cjknarrow" or "japanese".
bool IsJapaneseName(const char* name) {
  std::string lower;
  for (const char* p = name; *p; ++p) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  auto languageIs = [&lower](const std::string& language) {
    if (lower.compare(0, language.size(), language) != 0) return false;
    if (lower.size() == language.size()) return true;
    char next = lower[language.size()];
    return next == '_' || next == '.' || next == '@';
  };
  return languageIs("ja") || languageIs("japanese");
}

}  // namespace

bool JapaneseLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return IsJapaneseName(value);
  }
  return false;
}

void OptimiseCommand(QWidget* parent, const std::string& modelTextCp932) {
  // A run pumps window messages; a command arriving through them waits its turn.
  if (tavo::RunInProgress()) return;

  // The last outcome goes first, so that a refused command leaves nothing to show.
  tavo::g_lastModelText.clear();
  tavo::g_lastResult.logText.clear();
  tavo::g_lastResult.columnsText.clear();
  tavo::g_lastResult.rowsText.clear();
  tavo::g_lastResult.errorText.clear();

  if (!JapaneseLocale()) {
    ShowMessageBox(parent, tavo::T().localeRefusal, tavo::IconStyle::kStop);
    return;
  }
  if (modelTextCp932.empty()) {
    // The no-input-data message and its log line, without a progress window.
    MessageOnlyPort port(parent);
    tavo::RunOptimiseCommand(modelTextCp932, g_settings, port);
    return;
  }
  // Settings changed in the profile behind the program's back count from this run on.
  g_settings = tavo::LoadSettings(tavo::DefaultProfilePath());

  CProgressDlg dialog(parent);
  dialog.modelText = modelTextCp932;
  dialog.settings = g_settings;
  dialog.exec();
}

}  // namespace tavo::gui
