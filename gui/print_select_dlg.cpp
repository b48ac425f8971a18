#include "gui/print_select_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "gui/dialog_units.h"
#include "gui/text_convert.h"
#include "shell/texts.h"

CPrintSelectDlg::CPrintSelectDlg(QWidget* parent) : QDialog(parent) {
  using tavo::gui::ToDisplay;
  const tavo::Texts& t = tavo::T();
  setWindowTitle(ToDisplay(t.printSelectCaption));
  setFont(tavo::gui::MinchoDialogFont(11));
  tavo::gui::DialogUnits du(font());

  auto* title = new QLabel(ToDisplay(t.printSelectTitle), this);
  title->setObjectName(QStringLiteral("title"));
  title->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  title->setGeometry(du.Rect(10, 7, 217, 12));
  auto* instruction = new QLabel(ToDisplay(t.printSelectInstruction), this);
  instruction->setObjectName(QStringLiteral("instruction"));
  instruction->setWordWrap(true);
  instruction->setGeometry(du.Rect(14, 22, 209, 20));

  const char* names[4] = {"input1004", "log1005", "columns1002", "rows1003"};
  for (int i = 0; i < 4; ++i) {
    boxes_[i] = new QCheckBox(ToDisplay(t.printSelectLabels[i]), this);
    boxes_[i]->setObjectName(QString::fromLatin1(names[i]));
    boxes_[i]->setGeometry(du.Rect(40, 46 + i * 13, 180, 11));
  }

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  ok->setGeometry(du.Rect(55, 101, 50, 14));
  auto* cancel = new QPushButton(ToDisplay(t.cancelButton), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setGeometry(du.Rect(132, 101, 50, 14));
  connect(ok, &QPushButton::clicked, this, &CPrintSelectDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CPrintSelectDlg::reject);
  setFixedSize(du.X(237), du.Y(123));
}

int CPrintSelectDlg::exec() {
  const int states[4] = {m_input, m_log, m_columns, m_rows};
  for (int i = 0; i < 4; ++i) boxes_[i]->setChecked(states[i] != 0);
  return QDialog::exec();
}

void CPrintSelectDlg::accept() {
  m_input = boxes_[0]->isChecked() ? 1 : 0;
  m_log = boxes_[1]->isChecked() ? 1 : 0;
  m_columns = boxes_[2]->isChecked() ? 1 : 0;
  m_rows = boxes_[3]->isChecked() ? 1 : 0;
  QDialog::accept();
}
