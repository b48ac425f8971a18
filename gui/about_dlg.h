// The About box: caption "TAVOのﾊﾞｰｼﾞｮﾝ情報", the application icon, the
// version text and an OK button.
#pragma once

#include <QDialog>

namespace tavo::gui {

inline constexpr const char* kVersionText = "TAVO Version 2.7.0.7";

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tavo::gui
