// The settings command and CSettingsDlg: the ten solver settings of the
// profile's [Init] section, shown for editing and written back on OK.
#pragma once

#include <array>

#include <QDialog>

#include "shell/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavo::gui {

// The application-wide settings record: refreshed from the profile by the
// optimise and settings commands, and from the dialog when the user confirms.
extern tavo::SolverSettings g_settings;

// The settings command: the dialog, run modally.
void SettingsCommand(QWidget* parent);

}  // namespace tavo::gui

class CSettingsDlg : public QDialog {
  Q_OBJECT

 public:
  // Loads the settings from the profile (DefaultProfilePath()) into
  // g_settings and shows them.
  explicit CSettingsDlg(QWidget* parent);

  // The six number fields, in the order they are checked on OK.
  enum EditField { kNoinvert, kMaxiterate, kEtol, kZtol, kCtol, kBbLength, kEditCount };
  // The three check boxes, from the top.
  enum CheckField { kIcode, kRound, kSensitivity, kCheckCount };

  QComboBox* pmcmpBox() const { return pmcmp_; }
  QCheckBox* checkBox(CheckField f) const { return checks_[f]; }
  QLineEdit* edit(EditField f) const { return edits_[f]; }

 public slots:
  // Reads every field; a field that is not a number of its kind is reported,
  // takes the focus and keeps the dialog open. Otherwise the settings go to
  // g_settings and the profile, and the dialog closes.
  void accept() override;

 private:
  QComboBox* pmcmp_ = nullptr;
  std::array<QCheckBox*, kCheckCount> checks_{};
  std::array<QLineEdit*, kEditCount> edits_{};
};
