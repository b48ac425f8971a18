#include "gui/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace tavo::gui {

DialogUnits::DialogUnits(const QFont& font) {
  QFontMetrics metrics(font);
  // The average width over the 52 Latin letters, rounded.
  int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (letters / 26 + 1) / 2;
  baseY_ = metrics.height();
  if (baseX_ <= 0) baseX_ = 8;
  if (baseY_ <= 0) baseY_ = 16;
}

QFont GothicDialogFont(int pointSize) {
  QFont font;
  font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
  font.setPointSize(pointSize);
  return font;
}

QFont MinchoDialogFont(int pointSize) {
  QFont font;
  font.setFamilies({QStringLiteral("MS PMincho"), QStringLiteral("IPAPMincho"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("IPAGothic")});
  font.setPointSize(pointSize);
  return font;
}

}  // namespace tavo::gui
