#include "gui/text_convert.h"

#include "shell/codec.h"

namespace tavo::gui {

QString ToDisplay(std::string_view textCp932) {
  std::string utf8 = tavo::Cp932ToUtf8(tavo::CrLfToLf(textCp932));
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromDisplay(const QString& text) {
  QByteArray utf8 = text.toUtf8();
  return tavo::ToCp932From(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), "UTF-8");
}

}  // namespace tavo::gui
