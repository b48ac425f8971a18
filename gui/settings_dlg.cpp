#include "gui/settings_dlg.h"

#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/dialog_units.h"
#include "gui/message_box.h"
#include "gui/text_convert.h"
#include "shell/numbers.h"
#include "shell/texts.h"

namespace tavo::gui {

tavo::SolverSettings g_settings{};

void SettingsCommand(QWidget* parent) {
  CSettingsDlg dialog(parent);
  dialog.exec();
}

}  // namespace tavo::gui

namespace {

using tavo::SolverSettings;

// The number fields: the profile key each one edits, and whether it holds a
// whole number (else a decimal number).
struct NumberField {
  const char* key;
  bool whole;
};
constexpr NumberField kEdits[CSettingsDlg::kEditCount] = {
    {"NOINVERT", true}, {"MAXITERATE", true}, {"ETOL", false}, {"ZTOL", false}, {"CTOL", false}, {"BB_LENGTH", true},
};

QString IntText(std::int32_t v) { return QString::number(v); }
// Fifteen significant digits: enough to give back the stored value exactly.
QString RealText(double v) { return QString::number(v, 'g', 15); }

}  // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : QDialog(parent) {
  using tavo::gui::ToDisplay;
  const tavo::Texts& t = tavo::T();
  setWindowTitle(ToDisplay(t.settingsCaption));
  setFont(tavo::gui::MinchoDialogFont(11));
  tavo::gui::DialogUnits du(font());

  auto* pmcmpLabel = new QLabel(ToDisplay(t.settingsPmcmpLabel), this);
  pmcmpLabel->setGeometry(du.Rect(12, 10, 190, 12));
  pmcmp_ = new QComboBox(this);
  pmcmp_->setObjectName(QStringLiteral("PMCMP"));
  pmcmp_->setEditable(true);
  pmcmp_->setInsertPolicy(QComboBox::NoInsert);
  for (int i = 0; i <= 9; ++i) pmcmp_->addItem(QString::number(i));
  pmcmp_->setGeometry(du.Rect(210, 9, 57, 14));

  const char* checkNames[kCheckCount] = {"ICODE", "ROUND", "SENSITIVITY"};
  for (int i = 0; i < kCheckCount; ++i) {
    checks_[i] = new QCheckBox(ToDisplay(t.settingsChecks[i]), this);
    checks_[i]->setObjectName(QString::fromLatin1(checkNames[i]));
    checks_[i]->setGeometry(du.Rect(12, 30 + i * 14, 255, 12));
  }
  auto* separator = new QLabel(QString(60, QLatin1Char('-')), this);
  separator->setGeometry(du.Rect(12, 74, 255, 10));

  for (int i = 0; i < kEditCount; ++i) {
    auto* label = new QLabel(ToDisplay(t.settingsEdits[i]), this);
    label->setGeometry(du.Rect(12, 90 + i * 16, 190, 12));
    edits_[i] = new QLineEdit(this);
    edits_[i]->setObjectName(QString::fromLatin1(kEdits[i].key));
    edits_[i]->setGeometry(du.Rect(210, 89 + i * 16, 57, 13));
    label->setBuddy(edits_[i]);
  }

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  ok->setGeometry(du.Rect(80, 192, 50, 14));
  auto* cancel = new QPushButton(ToDisplay(t.cancelButton), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setGeometry(du.Rect(150, 192, 50, 14));
  connect(ok, &QPushButton::clicked, this, &CSettingsDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CSettingsDlg::reject);
  setFixedSize(du.X(279), du.Y(218));

  // The profile as it is now, shown field by field.
  tavo::gui::g_settings = tavo::LoadSettings(tavo::DefaultProfilePath());
  const SolverSettings& s = tavo::gui::g_settings;
  pmcmp_->setEditText(IntText(s.PMCMP));
  checks_[kIcode]->setChecked(s.ICODE != 0);
  checks_[kRound]->setChecked(s.ROUND != 0);
  checks_[kSensitivity]->setChecked(s.SENSITIVITY != 0);
  edits_[kNoinvert]->setText(IntText(s.NOINVERT));
  edits_[kMaxiterate]->setText(IntText(s.MAXITERATE));
  edits_[kEtol]->setText(RealText(s.ETOL));
  edits_[kZtol]->setText(RealText(s.ZTOL));
  edits_[kCtol]->setText(RealText(s.CTOL));
  edits_[kBbLength]->setText(IntText(s.BB_LENGTH));
}

void CSettingsDlg::accept() {
  const tavo::Texts& t = tavo::T();
  SolverSettings s = tavo::gui::g_settings;
  for (int i = 0; i < kEditCount; ++i) {
    std::string text = tavo::gui::FromDisplay(edits_[i]->text().trimmed());
    SolverSettings parsed = s;
    bool ok = tavo::SetSettingByName(parsed, kEdits[i].key, text);
    // A tolerance must be a finite number ("inf", "nan" or 1e999 are not).
    if (ok && !kEdits[i].whole) {
      ok = std::isfinite(parsed.ETOL) && std::isfinite(parsed.ZTOL) && std::isfinite(parsed.CTOL);
    }
    if (!ok) {
      tavo::gui::ShowMessageBox(this, kEdits[i].whole ? t.enterWholeNumber : t.enterNumber, tavo::IconStyle::kStop);
      edits_[i]->setFocus(Qt::OtherFocusReason);
      edits_[i]->selectAll();
      return;
    }
    s = parsed;
  }
  s.ICODE = checks_[kIcode]->isChecked() ? 1 : 0;
  s.ROUND = checks_[kRound]->isChecked() ? 1 : 0;
  s.SENSITIVITY = checks_[kSensitivity]->isChecked() ? 1 : 0;
  // The combo box takes any text: its leading number counts, no number gives 0.
  s.PMCMP = tavo::CAtoi(tavo::gui::FromDisplay(pmcmp_->currentText()));

  tavo::gui::g_settings = s;
  if (!tavo::SaveSettings(tavo::DefaultProfilePath(), s)) {
    tavo::gui::ShowMessageBox(this, t.settingsNotSaved, tavo::IconStyle::kStop);
    return;
  }
  QDialog::accept();
}
