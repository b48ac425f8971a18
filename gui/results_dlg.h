// The results command and CResultsDlg: the four texts of the last optimise
// command, one tab each, laid out with their tab stops.
#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "shell/calc_result.h"

class QPlainTextEdit;
class QTabBar;

namespace tavo::gui {

// Shows the results of the last optimise command, or refuses with
// "最適化計算を実行しておりません！" when there are none or when the editor text
// is no longer, byte for byte, the text of that run.
void ResultsCommand(QWidget* parent, const std::string& editorTextCp932);

}  // namespace tavo::gui

class CResultsDlg : public QDialog {
  Q_OBJECT

 public:
  // The four texts (code page 932): log, columns, rows, error information.
  CResultsDlg(QWidget* parent, const tavo::CalcResult& result);

  static constexpr int kTabCount = 4;
  QTabBar* tabBar() const { return tabs_; }
  // The edit of a tab (0 log, 1 columns, 2 rows, 3 error information).
  QPlainTextEdit* edit(int tab) const { return edits_[static_cast<std::size_t>(tab)]; }
  // The tab stops of a tab's edit, in pixels of the dialog's font.
  std::vector<int> tabStopsPixels(int tab) const;

 private:
  // Hides every edit, then shows the one of `index` (none for an index out of range).
  void ShowTab(int index);

  QTabBar* tabs_ = nullptr;
  std::array<QPlainTextEdit*, kTabCount> edits_{};
};
