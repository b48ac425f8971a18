// CProgressDlg: the modal progress window of an optimise run, and the run's
// window side (it implements the run's port). It starts the run by itself,
// 10 ms after it is shown, shows the run's counters while the simplex pumps
// its messages, turns its "強制終了" button and its close box into a request
// for forced termination, and closes when the run has ended.
#pragma once

#include <array>
#include <chrono>
#include <string>

#include <QDialog>

#include "shell/optimise.h"
#include "shell/locale_time.h"
#include "shell/port.h"
#include "shell/settings.h"

class QLabel;
class QPushButton;

class CProgressDlg : public QDialog, public tavo::RunPort {
  Q_OBJECT

 public:
  explicit CProgressDlg(QWidget* parent);
  ~CProgressDlg() override;

  // Set by the optimise command before the dialog runs.
  std::string modelText;          // the editor text, code page 932
  tavo::SolverSettings settings;  // the run's own copy

  // How the run went (valid once the dialog has closed).
  tavo::CommandStatus status() const { return status_; }
  // The text of a value field as the run last wrote it (code page 932).
  const std::string& Field(tavo::ProgressField id) const;
  // The text the field shows on screen now (repainted at most ~30 times a second).
  QString ShownField(tavo::ProgressField id) const;
  QPushButton* stopButton() const { return stopButton_; }

  // The port.
  void SetField(tavo::ProgressField id, const std::string& text) override;
  void PumpOneMessage() override;
  void ShowMessage(const std::string& text, tavo::IconStyle iconStyle) override;
  tavo::TimePoint Now() override;
  std::string FormatDateTime(tavo::TimePoint t) override;

 public slots:
  // The button, the close box: request forced termination; the window stays.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowFields();

  std::array<std::string, tavo::kProgressFieldCount> fields_;
  std::array<std::string, tavo::kProgressFieldCount> shown_;
  std::array<QLabel*, tavo::kProgressFieldCount> values_{};
  QPushButton* stopButton_ = nullptr;
  bool fieldsChanged_ = false;
  std::chrono::steady_clock::time_point lastShown_;
  int startTimer_ = 0;
  bool started_ = false;
  tavo::CommandStatus status_ = tavo::CommandStatus::kBusy;
  tavo::LocaleClock clock_;
};
