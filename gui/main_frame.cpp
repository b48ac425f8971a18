#include "gui/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

#include "gui/about_dlg.h"
#include "gui/find_dlg.h"
#include "gui/help_viewer.h"
#include "gui/key_state.h"
#include "gui/message_box.h"
#include "gui/model_editor.h"
#include "gui/optimise_command.h"
#include "gui/print_command.h"
#include "gui/results_dlg.h"
#include "gui/settings_dlg.h"
#include "gui/window_placement.h"
#include "shell/codec.h"
#include "shell/model_warnings.h"
#include "shell/optimise.h"
#include "shell/profile.h"
#include "shell/settings.h"
#include "shell/texts.h"

// The icons and the manual live in the static GUI library's resources.
static void InitTavoResources() { Q_INIT_RESOURCE(resources); }

namespace tavo::gui {

namespace {

SaveQuestion g_saveQuestion;
FileNamePrompt g_fileNamePrompt;

constexpr const char* kFilter = "TAVO ﾌｧｲﾙ (*.tvd);;すべてのﾌｧｲﾙ (*)";
constexpr const char* kBarSection = "Bar State";

SaveAnswer AskSaveQuestion(QWidget* parent, const QString& text) {
  if (g_saveQuestion) return g_saveQuestion(parent, text);
  QMessageBox box(QMessageBox::Warning, QStringLiteral("TAVO"), text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return SaveAnswer::kYes;
  if (box.clickedButton() == no) return SaveAnswer::kNo;
  return SaveAnswer::kCancel;
}

QString AskFileName(QWidget* parent, bool forSave, const QString& suggestion) {
  if (g_fileNamePrompt) return g_fileNamePrompt(parent, forSave, suggestion);
  const QString filter = QString::fromUtf8(kFilter);
  if (!forSave) return QFileDialog::getOpenFileName(parent, QStringLiteral("開く"), suggestion, filter);
  QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("名前を付けて保存"), suggestion, filter);
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".tvd");
  return path;
}

std::string ToStd(const QString& s) { return s.toStdString(); }
QString FromStd(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A UTF-8 text as the code page 932 bytes a message box takes; a character
// the code page lacks (in a file name, say) becomes '?' rather than cutting
// the message short.
std::string Cp932(const std::string& utf8) { return ToCp932From(utf8, "UTF-8"); }

std::string ProfilePath() { return DefaultProfilePath(); }

}  // namespace

void SetSaveQuestionForTests(SaveQuestion question) { g_saveQuestion = std::move(question); }
void SetFileNamePromptForTests(FileNamePrompt prompt) { g_fileNamePrompt = std::move(prompt); }

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  InitTavoResources();
  setObjectName(QStringLiteral("mainFrame"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/tavo.png")));
  view_ = new CTAVOView(this);
  view_->setObjectName(QStringLiteral("editor"));
  setCentralWidget(view_);
  setAcceptDrops(true);
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();

  tavo::Profile profile;
  profile.Load(ProfilePath());
  recent_.Read(profile);
  UpdateRecentMenu();

  connect(view_, &CTAVOView::fileDropped, this, [this](const QString& p) { OpenDroppedFile(p); });
  connect(view_, &QsciScintilla::modificationChanged, this, [this](bool) { UpdateTitle(); });
  connect(view_, &QsciScintilla::copyAvailable, this, [this](bool any) {
    Action(QStringLiteral("editCut"))->setEnabled(any);
    Action(QStringLiteral("editCopy"))->setEnabled(any);
  });
  Action(QStringLiteral("editCut"))->setEnabled(false);
  Action(QStringLiteral("editCopy"))->setEnabled(false);
  // Undo and redo are offered only when there is something to take back or repeat.
  auto updateUndo = [this] {
    Action(QStringLiteral("editUndo"))->setEnabled(view_->isUndoAvailable());
    Action(QStringLiteral("editRedo"))->setEnabled(view_->isRedoAvailable());
  };
  connect(view_, &QsciScintilla::textChanged, this, updateUndo);
  connect(view_, &QsciScintilla::modificationChanged, this, updateUndo);
  updateUndo();
  UpdateTitle();
  view_->setFocus();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::Action(const QString& name) const { return findChild<QAction*>(name); }

void CMainFrame::CreateActions() {
  struct Def {
    const char* name;
    const char* text;    // menu text with its mnemonic
    const char* prompt;  // status-bar prompt
    const char* tip;     // tool-tip (tool-bar buttons)
    const char* icon;    // tool-bar icon, or nullptr
    QList<QKeySequence> keys;
  };
  const Def defs[] = {
      {"fileNew", "新規作成(&N)", "新規にﾌｧｲﾙを作成", "新規ﾌｧｲﾙ", "new", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
      {"fileOpen", "開く(&O)...", "既存のﾌｧｲﾙを開く", "開く", "open", {QKeySequence(Qt::CTRL | Qt::Key_O)}},
      {"fileSave",
       "上書き保存(&S)",
       "作業中のﾌｧｲﾙを上書きして保存",
       "上書保存",
       "save",
       {QKeySequence(Qt::CTRL | Qt::Key_S)}},
      {"fileSaveAs", "名前を付けて保存(&A)...", "作業中のﾌｧｲﾙを新しい名前で保存", "名前を付けて保存", nullptr, {}},
      {"filePrint", "印刷(&P)...", "作業中のﾌｧｲﾙを印刷", "印刷", "print", {QKeySequence(Qt::CTRL | Qt::Key_P)}},
      {"filePrintPreview", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", "ﾍﾟｰｼﾞ全体を表示", "印刷ﾌﾟﾚﾋﾞｭｰ", nullptr, {}},
      {"filePrintSetup", "ﾌﾟﾘﾝﾀの設定(&R)...", "ﾌﾟﾘﾝﾀと印刷ｵﾌﾟｼｮﾝを変更", "印刷設定", nullptr, {}},
      {"appExit", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示", "終了", nullptr, {}},
      {"editUndo",
       "元に戻す(&U)",
       "直前に行った動作を元に戻す",
       "元に戻す",
       nullptr,
       {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
      {"editRedo", "繰り返し(&R)", "直前に行った動作を繰り返す", "繰り返す", nullptr, {}},
      {"editCut",
       "切り取り(&T)",
       "選択範囲を切り取ってｸﾘｯﾌﾟﾎﾞｰﾄﾞに移動する",
       "切り取り",
       "cut",
       {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
      {"editCopy",
       "ｺﾋﾟｰ(&C)",
       "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存する",
       "ｺﾋﾟｰ",
       "copy",
       {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
      {"editPaste",
       "貼り付け(&P)",
       "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を挿入する",
       "貼り付け",
       "paste",
       {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
      {"editFind", "文字列の検索(&F)", "指定した文字列の検索", "検索", nullptr, {}},
      {"editReplace", "文字列の置換(&E)", "指定した文字列を他の文字列で置換", "置換", nullptr, {}},
      {"editSelectAll", "すべての範囲を選択(&A)", "ﾌｧｲﾙ内のすべてを選択", "すべて選択", nullptr, {}},
      {"editNextError",
       "次のｴﾗｰ行(&N)",
       "最適化計算でﾃﾞｰﾀ ｴﾗｰのあった次の行へ移動",
       "次のｴﾗｰ行",
       nullptr,
       {QKeySequence(Qt::Key_F4)}},
      {"editCheck",
       "ﾃﾞｰﾀのﾁｪｯｸ(&K)",
       "ﾓﾃﾞﾙを解かずに読み、ﾃﾞｰﾀ ｴﾗｰと警告の行に印を付ける",
       "ﾃﾞｰﾀのﾁｪｯｸ",
       nullptr,
       {QKeySequence(Qt::Key_F7)}},
      {"settings", "TAVO初期値設定(&I)", "TAVO初期値設定", "初期値設定", "settings", {}},
      {"optimise", "TAVO最適化計算(&G)", "TAVO最適化計算", "最適化計算", "optimise", {}},
      {"results", "TAVO計算結果(&O)", "TAVO計算結果", "計算結果", "results", {}},
      {"helpFinder", "ﾄﾋﾟｯｸの検索(&H)", "ﾍﾙﾌﾟ ﾄﾋﾟｯｸの一覧を表示", "ﾍﾙﾌﾟ ﾄﾋﾟｯｸ", nullptr, {}},
      {"helpHomePage", "作者のホームページ", "作者のホームページを開く", "ホームページ", nullptr, {}},
      {"appAbout", "TAVO のﾊﾞｰｼﾞｮﾝ情報(&A)...", "ﾌﾟﾛｸﾞﾗﾑ情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", "ﾊﾞｰｼﾞｮﾝ情報", "about", {}},
      {"help", "ﾍﾙﾌﾟ", "ﾍﾙﾌﾟを表示", "ﾍﾙﾌﾟ", nullptr, {QKeySequence(Qt::Key_F1)}},
      {"contextHelp",
       "ﾍﾙﾌﾟ",
       "ｸﾘｯｸしたﾎﾞﾀﾝ、ﾒﾆｭｰ、ｳｨﾝﾄﾞｳについてのﾍﾙﾌﾟを表示",
       "ﾍﾙﾌﾟ",
       "contexthelp",
       {QKeySequence(Qt::SHIFT | Qt::Key_F1)}},
  };
  for (const Def& d : defs) {
    auto* a = new QAction(QString::fromUtf8(d.text), this);
    a->setObjectName(QString::fromLatin1(d.name));
    a->setStatusTip(QString::fromUtf8(d.prompt));
    a->setToolTip(QString::fromUtf8(d.tip));
    a->setWhatsThis(QString::fromUtf8(d.prompt));
    if (d.icon) a->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(d.icon))));
    if (!d.keys.isEmpty()) a->setShortcuts(d.keys);
    addAction(a);  // shortcuts work even while the bars are hidden
  }
  auto on = [this](const char* name, auto fn) { connect(Action(QLatin1String(name)), &QAction::triggered, this, fn); };
  on("fileNew", [this] { OnFileNew(); });
  on("fileOpen", [this] { OnFileOpen(); });
  on("fileSave", [this] { OnFileSave(); });
  on("fileSaveAs", [this] { OnFileSaveAs(); });
  on("appExit", [this] { close(); });
  on("editUndo", [this] { view_->undo(); });
  on("editRedo", [this] { view_->redo(); });
  on("editCut", [this] { view_->cut(); });
  on("editCopy", [this] { view_->copy(); });
  on("editPaste", [this] { view_->paste(); });
  on("editFind", [this] { OnFind(); });
  on("editReplace", [this] { OnReplace(); });
  on("editSelectAll", [this] { view_->selectAll(true); });
  on("editNextError", [this] { OnNextErrorLine(); });
  on("editCheck", [this] { OnCheck(); });
  on("settings", [this] { OnSettings(); });
  on("optimise", [this] { OnOptimise(); });
  on("results", [this] { OnResults(); });
  on("helpFinder", [this] { OnHelp(); });
  on("help", [this] { OnHelp(); });
  on("helpHomePage", [this] { OnHomePage(); });
  on("appAbout", [this] { OnAbout(); });
  on("contextHelp", [] { QWhatsThis::enterWhatsThisMode(); });
  on("filePrint", [this] { OnPrint(); });
  on("filePrintPreview", [this] { OnPrintPreview(); });
  on("filePrintSetup", [this] { PrintSetupCommand(this); });
}

void CMainFrame::CreateMenus() {
  QMenuBar* bar = menuBar();
  fileMenu_ = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  fileMenu_->setObjectName(QStringLiteral("fileMenu"));
  fileMenu_->addAction(Action(QStringLiteral("fileNew")));
  fileMenu_->addAction(Action(QStringLiteral("fileOpen")));
  fileMenu_->addAction(Action(QStringLiteral("fileSave")));
  fileMenu_->addAction(Action(QStringLiteral("fileSaveAs")));
  fileMenu_->addSeparator();
  fileMenu_->addAction(Action(QStringLiteral("filePrint")));
  fileMenu_->addAction(Action(QStringLiteral("filePrintPreview")));
  fileMenu_->addAction(Action(QStringLiteral("filePrintSetup")));
  fileMenu_->addSeparator();
  recentPlaceholder_ = fileMenu_->addAction(QStringLiteral("最近使ったﾌｧｲﾙ"));
  recentPlaceholder_->setObjectName(QStringLiteral("recentPlaceholder"));
  recentPlaceholder_->setEnabled(false);
  for (int i = 0; i < RecentFileList::kSize; ++i) {
    QAction* a = fileMenu_->addAction(QString());
    a->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
    a->setStatusTip(QStringLiteral("選択ﾌｧｲﾙを開く"));
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, i] { OpenRecent(i); });
    recentActions_.push_back(a);
  }
  fileMenu_->addSeparator()->setObjectName(QStringLiteral("recentSeparator"));
  fileMenu_->addAction(Action(QStringLiteral("appExit")));

  QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
  edit->setObjectName(QStringLiteral("editMenu"));
  edit->addAction(Action(QStringLiteral("editUndo")));
  edit->addAction(Action(QStringLiteral("editRedo")));
  edit->addSeparator();
  edit->addAction(Action(QStringLiteral("editCut")));
  edit->addAction(Action(QStringLiteral("editCopy")));
  edit->addAction(Action(QStringLiteral("editPaste")));
  edit->addSeparator();
  edit->addAction(Action(QStringLiteral("editFind")));
  edit->addAction(Action(QStringLiteral("editReplace")));
  edit->addSeparator();
  edit->addAction(Action(QStringLiteral("editSelectAll")));
  edit->addSeparator();
  edit->addAction(Action(QStringLiteral("editNextError")));
  edit->addAction(Action(QStringLiteral("editCheck")));

  QMenu* view = bar->addMenu(QStringLiteral("表示(&V)"));
  view->setObjectName(QStringLiteral("viewMenu"));
  auto* toolBarToggle = view->addAction(QStringLiteral("ﾂｰﾙ ﾊﾞｰ(&T)"));
  toolBarToggle->setObjectName(QStringLiteral("viewToolBar"));
  toolBarToggle->setStatusTip(QStringLiteral("ﾂｰﾙ ﾊﾞｰの表示/非表示"));
  toolBarToggle->setCheckable(true);
  toolBarToggle->setChecked(true);
  auto* statusToggle = view->addAction(QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&S)"));
  statusToggle->setObjectName(QStringLiteral("viewStatusBar"));
  statusToggle->setStatusTip(QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示"));
  statusToggle->setCheckable(true);
  statusToggle->setChecked(true);
  connect(toolBarToggle, &QAction::toggled, this, [this](bool on) { toolBar_->setVisible(on); });
  connect(statusToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });

  // The three commands that stand on the menu bar itself (actions of their
  // own: a menu bar would show a tool-bar button's icon instead of its text).
  for (const char* name : {"settings", "optimise", "results"}) {
    QAction* command = Action(QLatin1String(name));
    QAction* item = bar->addAction(command->text());
    item->setObjectName(QStringLiteral("menuBar_") + QLatin1String(name));
    item->setStatusTip(command->statusTip());
    connect(item, &QAction::triggered, command, &QAction::trigger);
  }

  QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  help->setObjectName(QStringLiteral("helpMenu"));
  help->addAction(Action(QStringLiteral("helpFinder")));
  help->addSeparator();
  help->addAction(Action(QStringLiteral("helpHomePage")));
  help->addSeparator();
  help->addAction(Action(QStringLiteral("appAbout")));
}

void CMainFrame::CreateToolBar() {
  toolBar_ = new QToolBar(QStringLiteral("ﾂｰﾙ ﾊﾞｰ"), this);
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setMovable(true);
  addToolBar(Qt::TopToolBarArea, toolBar_);
  for (const char* name : {"fileNew", "fileOpen", "fileSave", "", "editCut", "editCopy", "editPaste", "", "settings",
                           "optimise", "results", "filePrint", "", "appAbout", "contextHelp"}) {
    if (!*name) {
      toolBar_->addSeparator();
    } else {
      toolBar_->addAction(Action(QLatin1String(name)));
    }
  }
  connect(toolBar_, &QToolBar::visibilityChanged, this, [this](bool visible) {
    if (!isVisible()) return;  // the frame's own hiding changes nothing
    QSignalBlocker block(Action(QStringLiteral("viewToolBar")));
    Action(QStringLiteral("viewToolBar"))->setChecked(visible);
  });
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("statusBar"));
  ready_ = new QLabel(QStringLiteral("レディ"), bar);
  ready_->setObjectName(QStringLiteral("messagePane"));
  bar->addWidget(ready_, 1);
  const char* names[4] = {"ｶﾅ", "CAP", "NUM", "SCRL"};
  const char* ids[4] = {"indicatorKana", "indicatorCaps", "indicatorNum", "indicatorScroll"};
  for (int i = 0; i < 4; ++i) {
    auto* pane = new QLabel(bar);
    pane->setObjectName(QLatin1String(ids[i]));
    pane->setProperty("indicatorText", QString::fromUtf8(names[i]));
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QString::fromUtf8(names[i])) + 12);
    bar->addPermanentWidget(pane);
    indicators_[i] = pane;
  }
  indicatorTimer_ = new QTimer(this);
  indicatorTimer_->setInterval(250);
  connect(indicatorTimer_, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
  indicatorTimer_->start();
  UpdateIndicators();
}

void CMainFrame::UpdateIndicators() {
  // As the original's panes: the name when the lock is on, blank otherwise
  // (and blank where the platform does not tell).
  const KeyboardState s = ReadKeyboardState();
  const std::optional<bool> states[4] = {s.kana, s.caps, s.num, s.scroll};
  for (int i = 0; i < 4; ++i) {
    const bool on = states[i].value_or(false);
    const QString text = on ? indicators_[i]->property("indicatorText").toString() : QString();
    if (indicators_[i]->text() != text) indicators_[i]->setText(text);
    indicators_[i]->setToolTip(states[i] ? QString() : QStringLiteral("この環境ではキーの状態を読み取れません"));
  }
}

void CMainFrame::UpdateTitle() { setWindowTitle(FromStd(doc_.DisplayName()) + QStringLiteral(" - TAVO")); }

void CMainFrame::UpdateRecentMenu() {
  const auto& files = recent_.Files();
  recentPlaceholder_->setVisible(files.empty());
  const QString home = QDir::homePath();
  for (int i = 0; i < RecentFileList::kSize; ++i) {
    QAction* a = recentActions_[i];
    if (static_cast<std::size_t>(i) < files.size()) {
      QString shown = FromStd(files[i]);
      if (shown.startsWith(home + QLatin1Char('/'))) shown = QLatin1Char('~') + shown.mid(home.size());
      shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
      a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
      a->setData(FromStd(files[i]));
      a->setVisible(true);
    } else {
      a->setVisible(false);
    }
  }
}

void CMainFrame::AddRecentFile(const QString& path) {
  const QString abs = QFileInfo(path).absoluteFilePath();
  tavo::Profile profile;
  profile.Load(ProfilePath());
  recent_.Read(profile);  // another window may have changed it
  recent_.Add(ToStd(abs));
  recent_.Write(profile);
  profile.Save(ProfilePath());
  UpdateRecentMenu();
}

void CMainFrame::OpenRecent(int index) {
  if (static_cast<std::size_t>(index) >= recent_.Files().size()) return;
  const std::string file = recent_.Files()[index];  // a copy: the list changes below
  const QString path = FromStd(file);
  if (!SaveModified()) return;
  if (!OpenDocument(path)) {
    // The file is gone or unreadable: it leaves the list, as the original does.
    tavo::Profile profile;
    profile.Load(ProfilePath());
    recent_.Read(profile);
    recent_.Remove(file);
    recent_.Write(profile);
    profile.Save(ProfilePath());
    UpdateRecentMenu();
  }
}

void CMainFrame::SetIdleMessage(const QString& text) {
  // The message pane's text while no prompt or passing message covers it
  // (a passing message would be wiped by the menu bar as it lets go of a
  // command started from it).
  ready_->setText(text.isEmpty() ? QStringLiteral("レディ") : text);
}

void CMainFrame::ShowMessage(const std::string& utf8, int iconStyle) {
  ShowMessageBox(this, Cp932(utf8), static_cast<tavo::IconStyle>(iconStyle));
}

std::string CMainFrame::ModelTextCp932() const {
  std::string bytes;
  std::size_t bad = 0;
  if (!doc_.Encode(view_->TextUtf8(), bytes, bad)) bytes.push_back('\xFF');
  return bytes;
}

bool CMainFrame::EncodedText(std::string& cp932) {
  std::size_t bad = 0;
  const std::string utf8 = view_->TextUtf8();
  if (doc_.Encode(utf8, cp932, bad)) return true;
  std::size_t line = 0, column = 0;
  LineAndColumn(utf8, bad, line, column);
  view_->GoToByteOffset(bad);
  ShowMessage(std::to_string(line) +
                  " 行目にシフトJIS (コードページ 932) で表せない文字があります。\n"
                  "この文字を書き換えてから実行してください。",
              static_cast<int>(tavo::IconStyle::kStop));
  return false;
}

bool CMainFrame::OnFileNew() {
  if (!SaveModified()) return false;
  doc_.Reset();
  view_->SetTextUtf8(std::string());
  SetIdleMessage(QString());
  UpdateTitle();
  return true;
}

void CMainFrame::OnFileOpen() {
  if (!SaveModified()) return;
  const QString dir = doc_.Path().empty() ? QDir::currentPath() : QFileInfo(FromStd(doc_.Path())).absolutePath();
  const QString path = AskFileName(this, false, dir);
  if (path.isEmpty()) return;
  OpenDocument(path);
}

bool CMainFrame::OpenDocument(const QString& path) {
  std::string utf8;
  bool fromUtf8 = false;
  FileError error;
  CTAVODoc doc;
  if (!doc.Load(ToStd(path), utf8, fromUtf8, error)) {
    ShowMessage(error.message, static_cast<int>(tavo::IconStyle::kStop));
    return false;
  }
  doc_ = std::move(doc);
  doc_.SetPath(ToStd(QFileInfo(path).absoluteFilePath()));
  view_->SetTextUtf8(utf8);
  SetIdleMessage(QString());
  if (fromUtf8) {
    // The bytes change on saving: the text counts as modified.
    view_->setModified(true);
    statusBar()->showMessage(
        QStringLiteral("UTF-8 のファイルとして読み込みました。保存するとシフトJIS で書き込まれます。"), 15000);
  }
  AddRecentFile(path);
  UpdateTitle();
  return true;
}

bool CMainFrame::OpenDroppedFile(const QString& path) {
  activateWindow();
  raise();
  if (!SaveModified()) return false;
  return OpenDocument(path);
}

bool CMainFrame::DoSave(const QString& path) {
  FileError error;
  std::size_t bad = std::string::npos;
  if (!doc_.Save(ToStd(path), view_->TextUtf8(), error, &bad)) {
    if (bad != std::string::npos) view_->GoToByteOffset(bad);
    ShowMessage(error.message, static_cast<int>(tavo::IconStyle::kStop));
    return false;
  }
  doc_.SetPath(ToStd(QFileInfo(path).absoluteFilePath()));
  view_->setModified(false);
  AddRecentFile(path);
  UpdateTitle();
  return true;
}

bool CMainFrame::OnFileSaveAs() {
  QString suggestion =
      doc_.Path().empty() ? QDir::current().filePath(QStringLiteral("TAVO.tvd")) : FromStd(doc_.Path());
  const QString path = AskFileName(this, true, suggestion);
  if (path.isEmpty()) return false;
  return DoSave(path);
}

bool CMainFrame::DoFileSave() {
  if (doc_.Path().empty()) return OnFileSaveAs();
  return DoSave(FromStd(doc_.Path()));
}

bool CMainFrame::OnFileSave() {
  const bool ok = DoFileSave();
  ShowMessage(ok ? "上書保存終了" : "上書保存失敗しました", static_cast<int>(tavo::IconStyle::kNone));
  return ok;
}

bool CMainFrame::SaveModified() {
  if (!view_->isModified()) return true;
  const QString text = FromStd(doc_.DisplayName()) + QStringLiteral(" への変更を保存しますか?");
  switch (AskSaveQuestion(this, text)) {
    case SaveAnswer::kYes:
      return DoFileSave();
    case SaveAnswer::kNo:
      return true;
    case SaveAnswer::kCancel:
      return false;
  }
  return false;
}

void CMainFrame::OnOptimise() {
  if (tavo::RunInProgress()) return;
  std::string text;
  if (!EncodedText(text)) return;
  OptimiseCommand(this, text);
  MarkErrorLinesFromLastRun();
}

void CMainFrame::MarkErrorLinesFromLastRun() { MarkErrorLines(tavo::g_lastResult.logText, tavo::g_lastModelText); }

void CMainFrame::MarkErrorLines(const std::string& logCp932, const std::string& modelCp932) {
  std::vector<ErrorLine> marks = ParseErrorLines(logCp932);
  // Warnings about likely slips in the text (it parses, but may not mean
  // what its writer meant).
  for (const tavo::ModelWarning& w : tavo::FindModelWarnings(modelCp932)) {
    marks.push_back({w.line, tavo::Cp932ToUtf8(tavo::T().warningLabel + w.text), true});
  }
  view_->MarkErrorLines(marks);
  const int errors = view_->ErrorMarkCount(), warnings = view_->WarningMarkCount();
  if (errors + warnings > 0) {
    SetIdleMessage(
        QStringLiteral("データ エラーのある行: %1、警告のある行: %2 (F4 で次の行へ)").arg(errors).arg(warnings));
  } else {
    SetIdleMessage(QString());
  }
}

namespace {

// The port of the check command: a parse has no progress to show and takes
// no time worth pumping for; its messages are kept for the command to judge.
class CheckPort : public tavo::RunPort {
 public:
  void SetField(tavo::ProgressField, const std::string&) override {}
  void PumpOneMessage() override {}
  void ShowMessage(const std::string& text, tavo::IconStyle icon) override { messages.emplace_back(text, icon); }
  tavo::TimePoint Now() override { return tavo::Clock::now(); }
  std::string FormatDateTime(tavo::TimePoint) override { return std::string(); }

  std::vector<std::pair<std::string, tavo::IconStyle>> messages;
};

}  // namespace

void CMainFrame::OnCheck() {
  if (tavo::RunInProgress()) return;
  std::string text;
  if (!EncodedText(text)) return;
  CheckPort port;
  tavo::CalcResult result;
  const tavo::CommandStatus status = tavo::RunCheckCommand(text, tavo::LoadSettings(ProfilePath()), port, result);
  if (status == tavo::CommandStatus::kBusy) return;
  if (status == tavo::CommandStatus::kEmptyText) {
    for (const auto& [message, icon] : port.messages) ShowMessageBox(this, message, icon);
    view_->ClearErrorMarks();
    SetIdleMessage(QString());
    return;
  }
  // The data-error box would send the user to the calculation log, which a
  // check does not keep: the marks in the editor stand for it.
  MarkErrorLines(result.logText, text);
  if (view_->ErrorMarkCount() == 0) {
    SetIdleMessage(view_->WarningMarkCount() == 0
                       ? QStringLiteral("データ エラーはありません")
                       : QStringLiteral("データ エラーはありません。警告のある行: %1 (F4 で次の行へ)")
                             .arg(view_->WarningMarkCount()));
  }
  if (view_->ErrorMarkCount() + view_->WarningMarkCount() > 0) view_->GoToNextErrorLine();
}

bool CMainFrame::OnNextErrorLine() {
  const bool any = view_->GoToNextErrorLine();
  if (!any) statusBar()->showMessage(QStringLiteral("データ エラーの印のある行はありません"), 5000);
  view_->setFocus();
  return any;
}

void CMainFrame::OnSettings() { SettingsCommand(this); }

void CMainFrame::OnResults() { ResultsCommand(this, ModelTextCp932()); }

void CMainFrame::OnPrint() {
  if (tavo::RunInProgress()) return;
  std::string text;
  if (EncodedText(text)) PrintCommand(this, text);
}

void CMainFrame::OnPrintPreview() {
  if (tavo::RunInProgress()) return;
  std::string text;
  if (EncodedText(text)) PrintPreviewCommand(this, text);
}

void CMainFrame::OnAbout() {
  CAboutDlg dlg(this);
  dlg.exec();
}

void CMainFrame::OnHelp() { ShowManual(this); }

void CMainFrame::OnHomePage() {
  // The project has no web page of its own yet: the installed manual's page.
  const QString page = InstalledManualPage();
  if (page.isEmpty()) {
    ShowManual(this);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

void CMainFrame::OnFind() {
  if (!findDlg_) findDlg_ = new CFindDlg(view_, this);
  findDlg_->Open(false);
}

void CMainFrame::OnReplace() {
  if (!findDlg_) findDlg_ = new CFindDlg(view_, this);
  findDlg_->Open(true);
}

void CMainFrame::ShowWithSavedPlacement() {
  tavo::Profile profile;
  profile.Load(ProfilePath());
  const PlacementRecord rec = ReadPlacement(profile);
  if (auto state = profile.Get(kBarSection, "State"); state && !state->empty()) {
    restoreState(QByteArray::fromHex(QByteArray::fromStdString(*state)));
  }
  const bool statusVisible = profile.Get(kBarSection, "StatusBar").value_or("1") != "0";
  Action(QStringLiteral("viewStatusBar"))->setChecked(statusVisible);
  statusBar()->setVisible(statusVisible);
  ShowWithPlacement(*this, rec);
  {
    QSignalBlocker block(Action(QStringLiteral("viewToolBar")));
    Action(QStringLiteral("viewToolBar"))->setChecked(!toolBar_->isHidden());
  }
}

void CMainFrame::SavePlacementToProfile() {
  tavo::Profile profile;
  profile.Load(ProfilePath());
  WritePlacement(profile, CapturePlacement(*this));
  profile.Set(kBarSection, "State", saveState().toHex().toStdString());
  profile.Set(kBarSection, "StatusBar", statusBar()->isHidden() ? "0" : "1");
  profile.Save(ProfilePath());
}

void CMainFrame::closeEvent(QCloseEvent* e) {
  if (tavo::RunInProgress() || !SaveModified()) {
    e->ignore();
    return;
  }
  SavePlacementToProfile();
  if (findDlg_) findDlg_->close();
  e->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) {
    for (const QUrl& url : e->mimeData()->urls()) {
      if (url.isLocalFile()) {
        e->acceptProposedAction();
        return;
      }
    }
  }
  QMainWindow::dragEnterEvent(e);
}

void CMainFrame::dropEvent(QDropEvent* e) {
  for (const QUrl& url : e->mimeData()->urls()) {
    if (url.isLocalFile()) {
      e->acceptProposedAction();
      OpenDroppedFile(url.toLocalFile());
      return;
    }
  }
  QMainWindow::dropEvent(e);
}

std::unique_ptr<CMainFrame> StartUp(const QStringList& arguments) {
  auto frame = std::make_unique<CMainFrame>();
  // The first argument that is not an option names the document.
  for (const QString& arg : arguments) {
    if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) continue;
    if (!frame->OpenDocument(arg)) return nullptr;
    break;
  }
  frame->ShowWithSavedPlacement();
  return frame;
}

}  // namespace tavo::gui
