// The find and replace commands' window (modeless, as the editor's own
// dialogs were): searches the editor forward or backward, replaces one
// occurrence or all.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavo::gui {

class CTAVOView;

class CFindDlg : public QDialog {
  Q_OBJECT
 public:
  CFindDlg(CTAVOView* editor, QWidget* parent);

  // Shows the window for finding only, or for finding and replacing, with the
  // editor's selection (one line of it) as the text to find.
  void Open(bool replace);

  // Finds the next occurrence from the cursor (or the selection's end);
  // false when there is none.
  bool FindNext();
  // Replaces the current selection when it is the text sought, then finds the next.
  bool ReplaceOne();
  // Replaces every occurrence in the text as one undo step; returns how many.
  int ReplaceAll();

  QLineEdit* findEdit() const { return find_; }
  QLineEdit* replaceEdit() const { return replace_; }

 private:
  void UpdateButtons();
  bool SelectionIsMatch() const;

  CTAVOView* editor_;
  QLineEdit* find_;
  QLineEdit* replace_;
  QLabel* replaceLabel_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWord_;
  QRadioButton* up_;
  QRadioButton* down_;
  QPushButton* findButton_;
  QPushButton* replaceButton_;
  QPushButton* replaceAllButton_;
  QLabel* status_;
};

}  // namespace tavo::gui
