// CPrintSelectDlg: the choice of the documents a print job holds (the model
// text, the calculation log with the error information, the COLUMNS and the
// ROWS reports), shown by the print and print preview commands.
#pragma once

#include <array>

#include <QDialog>

class QCheckBox;

class CPrintSelectDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CPrintSelectDlg(QWidget* parent = nullptr);

  // The states of the four check boxes (0 or 1), exchanged with the boxes
  // when the dialog opens (exec) and when OK is pressed.
  int m_columns = 0;  // 1002
  int m_input = 0;    // 1004
  int m_log = 0;      // 1005
  int m_rows = 0;     // 1003

  // The boxes from the top: input data, log, COLUMNS, ROWS.
  QCheckBox* checkBox(int fromTop) const { return boxes_[fromTop]; }

  int exec() override;

 public slots:
  void accept() override;

 private:
  std::array<QCheckBox*, 4> boxes_{};
};
