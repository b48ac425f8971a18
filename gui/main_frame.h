// The main frame: the single-document window with the menus, tool bar and
// status bar of the original, the editor view filling it, the recent-file
// list, the placement kept in the profile, and dropped files.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QStringList>

#include "gui/model_document.h"
#include "gui/recent_files.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace tavo::gui {

class CTAVOView;
class CFindDlg;

// The answer to the question before a modified text is replaced or the
// program ends.
enum class SaveAnswer { kYes, kNo, kCancel };
// The question itself (text in UTF-8); tests replace it so that no human is needed.
using SaveQuestion = std::function<SaveAnswer(QWidget* parent, const QString& text)>;
void SetSaveQuestionForTests(SaveQuestion question);
// The file dialogs (open, save as): return the chosen path or empty when
// cancelled. Tests replace them.
using FileNamePrompt = std::function<QString(QWidget* parent, bool forSave, const QString& suggestion)>;
void SetFileNamePromptForTests(FileNamePrompt prompt);

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(QWidget* parent = nullptr);
  ~CMainFrame() override;

  CTAVOView* View() const { return view_; }
  CTAVODoc& Document() { return doc_; }
  const RecentFileList& RecentFiles() const { return recent_; }
  // An action by its object name ("fileNew", "optimise", ...; see the .cpp).
  QAction* Action(const QString& name) const;

  // The exact bytes the file would get. A text with a character that code
  // page 932 cannot hold gives the bytes before that character followed by
  // 0xFF, a byte that is not code page 932, so it never equals a run's text.
  std::string ModelTextCp932() const;

  // Commands.
  bool OnFileNew();
  void OnFileOpen();
  bool OnFileSave();    // the save command with its two messages
  bool OnFileSaveAs();  // no message of its own
  void OnOptimise();
  void OnSettings();
  void OnResults();
  // The print and print preview commands on the editor's text.
  void OnPrint();
  void OnPrintPreview();
  void OnAbout();
  void OnHelp();
  void OnHomePage();
  bool OnNextErrorLine();
  // Reads the model without solving it and marks its data-error and warning
  // lines; the last run's results stay as they were.
  void OnCheck();
  void OnFind();
  void OnReplace();

  // Opens `path` as the document (no question asked). Reports a failure in a
  // message box and returns false; the current text is then kept.
  bool OpenDocument(const QString& path);
  // A file dropped on the window or named to it: asks about a modified text,
  // then opens it.
  bool OpenDroppedFile(const QString& path);
  // Asks before a modified text is lost: true to go on (saved or discarded),
  // false when cancelled or when saving failed.
  bool SaveModified();

  // Marks the editor lines named by the data errors of the last run's log
  // and the warnings about the text that ran.
  void MarkErrorLinesFromLastRun();
  // The same for any log and model text (code page 932).
  void MarkErrorLines(const std::string& logCp932, const std::string& modelCp932);

  // Restores the placement and the bars from the profile and shows the frame.
  void ShowWithSavedPlacement();
  // Writes the placement and the bars into the profile.
  void SavePlacementToProfile();

  QLabel* IndicatorPane(int index) const { return indicators_[index]; }
  void UpdateIndicators();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void UpdateTitle();
  void UpdateRecentMenu();
  void AddRecentFile(const QString& path);
  void OpenRecent(int index);
  bool DoFileSave();
  bool DoSave(const QString& path);
  bool EncodedText(std::string& cp932);
  void ShowMessage(const std::string& utf8, int iconStyle);
  void SetIdleMessage(const QString& text);

  CTAVODoc doc_;
  CTAVOView* view_ = nullptr;
  CFindDlg* findDlg_ = nullptr;
  RecentFileList recent_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentPlaceholder_ = nullptr;
  QList<QAction*> recentActions_;
  QToolBar* toolBar_ = nullptr;
  QLabel* ready_ = nullptr;
  QLabel* indicators_[4] = {};
  QTimer* indicatorTimer_ = nullptr;
};

// Start-up: the frame with a new document, or with the file named on the
// command line (`arguments` without the program name). A file that cannot be
// opened is reported and start-up fails (nullptr). The frame is shown in its
// saved placement.
std::unique_ptr<CMainFrame> StartUp(const QStringList& arguments);

}  // namespace tavo::gui
