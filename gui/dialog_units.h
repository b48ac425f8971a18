// Dialog units: the layout measure of the program's dialogs, scaled by the
// dialog's font. A horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>

namespace tavo::gui {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  int X(int units) const { return (units * baseX_ + 2) / 4; }
  int Y(int units) const { return (units * baseY_ + 4) / 8; }
  QRect Rect(int x, int y, int width, int height) const { return QRect(X(x), Y(y), X(width), Y(height)); }
  int baseX() const { return baseX_; }
  int baseY() const { return baseY_; }

 private:
  int baseX_ = 8;
  int baseY_ = 16;
};

// The dialog fonts, by face and point size, with the installed Japanese face
// as the fallback when the named one is missing.
QFont GothicDialogFont(int pointSize);
QFont MinchoDialogFont(int pointSize);

}  // namespace tavo::gui
