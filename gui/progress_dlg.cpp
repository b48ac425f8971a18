#include "gui/progress_dlg.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimerEvent>

#include "gui/dialog_units.h"
#include "gui/message_box.h"
#include "gui/text_convert.h"
#include "shell/codec.h"
#include "shell/texts.h"

namespace {

using tavo::ProgressField;

// Fields from top to bottom, beside the labels in the same order.
constexpr ProgressField kRows[tavo::kProgressFieldCount] = {
    ProgressField::kResultCode, ProgressField::kFeasibility, ProgressField::kFirstGoal,
    ProgressField::kIterations, ProgressField::kBranches,    ProgressField::kElapsed,
};

// The counters change every iteration; showing each change would cost far
// more than the iteration itself, so the screen follows at this pace.
constexpr auto kRepaintInterval = std::chrono::milliseconds(33);

// Value fields wide enough for a ten-digit value in exponent form
// ("1.23456789e+012"), and the window around them.
constexpr int kValueWidth = 60;
constexpr int kDialogWidth = 101 + kValueWidth + 12;

// The run starts this long after the window is shown, so that it is painted first.
constexpr int kStartDelayMs = 10;

}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : QDialog(parent) {
  const tavo::Texts& t = tavo::T();
  setWindowTitle(tavo::gui::ToDisplay(t.progressCaption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  setFont(tavo::gui::GothicDialogFont(11));
  tavo::gui::DialogUnits du(font());

  // Initial texts, fields 1014 to 1019 in id order.
  fields_ = {"0", "0", "0", "00:00:00", "0", t.infeasible};

  for (int row = 0; row < tavo::kProgressFieldCount; ++row) {
    auto* label = new QLabel(tavo::gui::ToDisplay(t.progressLabels[row]), this);
    label->setGeometry(du.Rect(24, 10 + row * 16, 76, 12));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* value = new QLabel(this);
    value->setGeometry(du.Rect(101, 10 + row * 16, kValueWidth, 12));
    value->setAlignment(Qt::AlignCenter);
    value->setFrameStyle(QFrame::Box | QFrame::Plain);
    value->setObjectName(QStringLiteral("field%1").arg(static_cast<int>(kRows[row])));
    values_[tavo::FieldIndex(kRows[row])] = value;
  }
  stopButton_ = new QPushButton(tavo::gui::ToDisplay(t.forcedTermination), this);
  stopButton_->setObjectName(QStringLiteral("stop"));
  stopButton_->setGeometry(du.Rect((kDialogWidth - 50) / 2, 112, 50, 14));
  // Enter must not stop a run; only a click (or Space on the button) does.
  stopButton_->setAutoDefault(false);
  connect(stopButton_, &QPushButton::clicked, this, &CProgressDlg::reject);
  setFixedSize(du.X(kDialogWidth), du.Y(140));
  for (std::size_t i = 0; i < fields_.size(); ++i) values_[i]->setText(tavo::gui::ToDisplay(fields_[i]));
  shown_ = fields_;
}

CProgressDlg::~CProgressDlg() = default;

const std::string& CProgressDlg::Field(ProgressField id) const {
  static const std::string kEmpty;
  unsigned index = static_cast<unsigned>(tavo::FieldIndex(id));
  return index < fields_.size() ? fields_[index] : kEmpty;
}

QString CProgressDlg::ShownField(ProgressField id) const {
  unsigned index = static_cast<unsigned>(tavo::FieldIndex(id));
  return index < values_.size() ? values_[index]->text() : QString();
}

void CProgressDlg::SetField(ProgressField id, const std::string& text) {
  unsigned index = static_cast<unsigned>(tavo::FieldIndex(id));
  if (index >= fields_.size()) return;
  fields_[index] = text;
  fieldsChanged_ = true;
}

void CProgressDlg::ShowFields() {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (shown_[i] == fields_[i]) continue;
    shown_[i] = fields_[i];
    values_[i]->setText(tavo::gui::ToDisplay(fields_[i]));
  }
  fieldsChanged_ = false;
  lastShown_ = std::chrono::steady_clock::now();
}

void CProgressDlg::PumpOneMessage() {
  if (fieldsChanged_ && std::chrono::steady_clock::now() - lastShown_ >= kRepaintInterval) ShowFields();
  // Pending input and paints: the button's click and the close box arrive here.
  QCoreApplication::processEvents();
}

void CProgressDlg::ShowMessage(const std::string& text, tavo::IconStyle iconStyle) {
  // The box stands over the final counters.
  ShowFields();
  tavo::gui::ShowMessageBox(this, text, iconStyle);
}

tavo::TimePoint CProgressDlg::Now() { return tavo::Clock::now(); }

std::string CProgressDlg::FormatDateTime(tavo::TimePoint t) { return clock_.DateAndTime(t); }

void CProgressDlg::reject() { tavo::g_forceStop.store(1, std::memory_order_relaxed); }

void CProgressDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!started_) {
    started_ = true;
    startTimer_ = startTimer(kStartDelayMs);
  }
}

void CProgressDlg::timerEvent(QTimerEvent* event) {
  if (startTimer_ == 0 || event->timerId() != startTimer_) {
    QDialog::timerEvent(event);
    return;
  }
  // One shot: the timer goes before the run, so the run is never entered twice.
  killTimer(startTimer_);
  startTimer_ = 0;
  status_ = tavo::RunOptimiseCommand(modelText, settings, *this);
  ShowFields();
  accept();
}

void CProgressDlg::keyPressEvent(QKeyEvent* event) {
  // Escape does not stop a run (only the button and the close box do), and
  // no key closes the window.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
