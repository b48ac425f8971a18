#include "gui/message_box.h"

#include <QMessageBox>
#include <QString>

#include "gui/text_convert.h"

namespace tavo::gui {
namespace {

std::function<void(const std::string&, tavo::IconStyle)>& Hook() {
  static std::function<void(const std::string&, tavo::IconStyle)> hook;
  return hook;
}

QMessageBox::Icon BoxIcon(tavo::IconStyle icon) {
  switch (icon) {
    case tavo::IconStyle::kStop:
      return QMessageBox::Critical;
    case tavo::IconStyle::kInformation:
      return QMessageBox::Information;
    case tavo::IconStyle::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void ShowMessageBox(QWidget* parent, const std::string& textCp932, tavo::IconStyle icon) {
  if (Hook()) {
    Hook()(textCp932, icon);
    return;
  }
  QMessageBox box(BoxIcon(icon), QStringLiteral("TAVO"), ToDisplay(textCp932), QMessageBox::Ok, parent);
  box.exec();
}

void SetMessageBoxHookForTests(std::function<void(const std::string&, tavo::IconStyle)> hook) {
  Hook() = std::move(hook);
}

}  // namespace tavo::gui
