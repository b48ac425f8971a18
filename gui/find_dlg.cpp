#include "gui/find_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/model_editor.h"

namespace tavo::gui {

CFindDlg::CFindDlg(CTAVOView* editor, QWidget* parent) : QDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("findDialog"));
  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("findText"));
  replace_ = new QLineEdit(this);
  replace_->setObjectName(QStringLiteral("replaceText"));
  auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  findLabel->setBuddy(find_);
  replaceLabel_ = new QLabel(QStringLiteral("置換後の文字列(&P):"), this);
  replaceLabel_->setBuddy(replace_);
  matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
  wholeWord_ = new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this);
  auto* direction = new QGroupBox(QStringLiteral("検索する方向"), this);
  up_ = new QRadioButton(QStringLiteral("上へ(&U)"), direction);
  down_ = new QRadioButton(QStringLiteral("下へ(&D)"), direction);
  down_->setChecked(true);
  auto* dirLayout = new QHBoxLayout(direction);
  dirLayout->addWidget(up_);
  dirLayout->addWidget(down_);
  findButton_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
  findButton_->setDefault(true);
  replaceButton_ = new QPushButton(QStringLiteral("置換して次に(&R)"), this);
  replaceAllButton_ = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  status_ = new QLabel(this);

  auto* grid = new QGridLayout;
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(find_, 0, 1);
  grid->addWidget(replaceLabel_, 1, 0);
  grid->addWidget(replace_, 1, 1);
  grid->addWidget(matchCase_, 2, 0, 1, 2);
  grid->addWidget(wholeWord_, 3, 0, 1, 2);
  grid->addWidget(direction, 4, 0, 1, 2);
  grid->addWidget(status_, 5, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(findButton_);
  buttons->addWidget(replaceButton_);
  buttons->addWidget(replaceAllButton_);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);

  connect(find_, &QLineEdit::textChanged, this, &CFindDlg::UpdateButtons);
  connect(findButton_, &QPushButton::clicked, this, [this] { FindNext(); });
  connect(replaceButton_, &QPushButton::clicked, this, [this] { ReplaceOne(); });
  connect(replaceAllButton_, &QPushButton::clicked, this, [this] { ReplaceAll(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
  UpdateButtons();
}

void CFindDlg::Open(bool replace) {
  setWindowTitle(replace ? QStringLiteral("置換") : QStringLiteral("検索"));
  replace_->setVisible(replace);
  replaceLabel_->setVisible(replace);
  replaceButton_->setVisible(replace);
  replaceAllButton_->setVisible(replace);
  up_->parentWidget()->setVisible(!replace);
  if (replace) down_->setChecked(true);
  const QString sel = editor_->selectedText();
  if (!sel.isEmpty() && !sel.contains(QLatin1Char('\n')) && !sel.contains(QLatin1Char('\r'))) find_->setText(sel);
  status_->clear();
  adjustSize();
  show();
  raise();
  activateWindow();
  find_->setFocus();
  find_->selectAll();
}

void CFindDlg::UpdateButtons() {
  const bool any = !find_->text().isEmpty();
  findButton_->setEnabled(any);
  replaceButton_->setEnabled(any);
  replaceAllButton_->setEnabled(any);
}

bool CFindDlg::FindNext() {
  status_->clear();
  if (find_->text().isEmpty()) return false;
  const bool forward = !up_->isChecked() || replace_->isVisible();
  int line = -1, index = -1;
  if (!forward && editor_->hasSelectedText()) {
    int l2, i2;
    editor_->getSelection(&line, &index, &l2, &i2);
  }
  const bool found = editor_->findFirst(find_->text(), false, matchCase_->isChecked(), wholeWord_->isChecked(), false,
                                        forward, line, index, true);
  if (!found) status_->setText(QStringLiteral("「%1」が見つかりません。").arg(find_->text()));
  return found;
}

bool CFindDlg::SelectionIsMatch() const {
  const QString sel = editor_->selectedText();
  if (sel.isEmpty()) return false;
  return matchCase_->isChecked() ? sel == find_->text() : sel.compare(find_->text(), Qt::CaseInsensitive) == 0;
}

bool CFindDlg::ReplaceOne() {
  if (SelectionIsMatch()) editor_->replaceSelectedText(replace_->text());
  return FindNext();
}

int CFindDlg::ReplaceAll() {
  status_->clear();
  if (find_->text().isEmpty()) return 0;
  int count = 0;
  editor_->beginUndoAction();
  bool found = editor_->findFirst(find_->text(), false, matchCase_->isChecked(), wholeWord_->isChecked(), false, true,
                                  0, 0, true);
  while (found) {
    editor_->replace(replace_->text());
    ++count;
    found = editor_->findNext();
  }
  editor_->endUndoAction();
  status_->setText(QStringLiteral("%1 個の文字列を置換しました。").arg(count));
  return count;
}

}  // namespace tavo::gui
