#include "gui/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavo::gui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("TAVOのﾊﾞｰｼﾞｮﾝ情報"));
  setObjectName(QStringLiteral("aboutDialog"));
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(QStringLiteral(":/icons/tavo.png")).pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);
  auto* text = new QLabel(QString::fromLatin1(kVersionText), this);
  text->setObjectName(QStringLiteral("versionText"));
  QFont f = text->font();
  f.setFamilies({QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"), QStringLiteral("IPAPGothic")});
  f.setPointSize(11);
  text->setFont(f);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(16);
  top->addWidget(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addStretch();
  layout->addLayout(buttons);
  // 235 x 125 dialog units of an 11-point font: about 400 x 200 pixels.
  resize(400, 180);
}

}  // namespace tavo::gui
