#include "gui/results_dlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTextOption>
#include <QVBoxLayout>

#include "gui/dialog_units.h"
#include "gui/message_box.h"
#include "gui/text_convert.h"
#include "shell/optimise.h"
#include "shell/text_layout.h"
#include "shell/texts.h"

namespace tavo::gui {

void ResultsCommand(QWidget* parent, const std::string& editorTextCp932) {
  // The results belong to the text they were computed from, byte for byte.
  if (tavo::g_lastResult.logText.empty() || editorTextCp932 != tavo::g_lastModelText) {
    ShowMessageBox(parent, tavo::T().notOptimised, tavo::IconStyle::kStop);
    return;
  }
  CResultsDlg dialog(parent, tavo::g_lastResult);
  dialog.exec();
}

}  // namespace tavo::gui

namespace {

// The edits' size in pixels, and the dialog's in dialog units.
constexpr int kEditWidth = 640;
constexpr int kEditHeight = 480;
constexpr int kDialogWidthUnits = 305;
constexpr int kDialogHeightUnits = 278;

}  // namespace

CResultsDlg::CResultsDlg(QWidget* parent, const tavo::CalcResult& result) : QDialog(parent) {
  using tavo::gui::ToDisplay;
  const tavo::Texts& t = tavo::T();
  setWindowTitle(ToDisplay(t.resultsCaption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setFont(tavo::gui::MinchoDialogFont(12));
  tavo::gui::DialogUnits du(font());

  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->setExpanding(false);
  tabs_->setDrawBase(false);
  for (const std::string& text : t.resultsTabs) tabs_->addTab(ToDisplay(text));
  layout->addWidget(tabs_, 0, Qt::AlignLeft);

  const std::string* texts[kTabCount] = {&result.logText, &result.columnsText, &result.rowsText, &result.errorText};
  for (int i = 0; i < kTabCount; ++i) {
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(QStringLiteral("edit%1").arg(1002 + i));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setWordWrapMode(QTextOption::NoWrap);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setMinimumSize(kEditWidth, kEditHeight);
    // Changes the user types stay in the window: nothing is written back.
    edit->setReadOnly(false);

    QTextOption option = edit->document()->defaultTextOption();
    QList<QTextOption::Tab> stops;
    for (int units : tavo::ResultsTabStopUnits(static_cast<tavo::ReportTab>(i)))
      stops.append(QTextOption::Tab(du.X(units), QTextOption::LeftTab));
    option.setTabs(stops);
    option.setTabStopDistance(du.X(tavo::kResultsDefaultTabUnits));
    option.setWrapMode(QTextOption::NoWrap);
    edit->document()->setDefaultTextOption(option);
    edit->setPlainText(ToDisplay(*texts[i]));
    edits_[static_cast<std::size_t>(i)] = edit;
    layout->addWidget(edit, 1);
  }

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  ok->setFixedSize(du.X(50), du.Y(14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignHCenter);

  connect(tabs_, &QTabBar::currentChanged, this, &CResultsDlg::ShowTab);
  ShowTab(0);
  // Room for the edits at full size, however small the font's units are.
  resize(std::max(du.X(kDialogWidthUnits), sizeHint().width()),
         std::max(du.Y(kDialogHeightUnits), sizeHint().height()));
}

std::vector<int> CResultsDlg::tabStopsPixels(int tab) const {
  std::vector<int> out;
  if (tab < 0 || tab >= kTabCount) return out;
  for (const QTextOption::Tab& stop : edit(tab)->document()->defaultTextOption().tabs())
    out.push_back(static_cast<int>(stop.position));
  return out;
}

void CResultsDlg::ShowTab(int index) {
  for (QPlainTextEdit* e : edits_) e->hide();
  if (index >= 0 && index < kTabCount) edits_[static_cast<std::size_t>(index)]->show();
}
