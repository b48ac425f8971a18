// The main frame as the user meets it: start-up, the document's commands,
// the save question, the placement in the profile, dropped files and the
// marks of data-error lines.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "gui/about_dlg.h"
#include "gui/find_dlg.h"
#include "gui/help_viewer.h"
#include "gui/main_frame.h"
#include "gui/model_editor.h"
#include "gui/model_lexer.h"
#include "gui/window_placement.h"
#include "gui_test_support.h"
#include "shell/optimise.h"
#include "shell/profile.h"

using namespace tavo::gui;
using namespace tavo::gui::test;

namespace {

// A model with Japanese text, mixed line ends and no final line end.
std::string JapaneseModel() {
  return Sjis("TITLE 生産計画\r\n! 利益を最大に\r\nMAX 3X + 2Y\nST\r\n能力) X + Y <= 40\r\nX <= 30");
}

std::string ProfileValue(const std::string& section, const std::string& key) {
  tavo::Profile p;
  p.Load(tavo::DefaultProfilePath());
  return p.Get(section, key).value_or("<none>");
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private:
  GuiTestEnvironment env_;

  std::unique_ptr<CMainFrame> Start(const QStringList& args = {}) {
    auto frame = StartUp(args);
    if (frame) {
      QApplication::setActiveWindow(frame.get());
      QTest::qWait(1);
    }
    return frame;
  }

 private slots:
  void init() { env_.Reset(); }

  void startUpWithoutFileOpensAnEmptyUntitledDocumentAtTheDefaultPlace() {
    auto frame = Start();
    QVERIFY(frame);
    QCOMPARE(frame->windowTitle(), QStringLiteral("無題 - TAVO"));
    QCOMPARE(frame->View()->TextUtf8(), std::string());
    QCOMPARE(frame->geometry(), QRect(10, 10, 790, 590));
    QVERIFY(env_.messages.empty());
  }

  void startUpWithAFileOpensIt() {
    const QString path = env_.TempPath("plan.tvd");
    WriteBytes(path, JapaneseModel());
    auto frame = Start({path});
    QVERIFY(frame);
    QCOMPARE(frame->windowTitle(), QStringLiteral("plan.tvd - TAVO"));
    QCOMPARE(frame->ModelTextCp932(), JapaneseModel());
    QVERIFY(!frame->View()->isModified());
    QCOMPARE(frame->RecentFiles().Files().front(), path.toStdString());
  }

  void startUpWithAFileThatCannotBeOpenedEnds() {
    QVERIFY(!Start({env_.TempPath("missing-é.tvd")}));
    QCOMPARE(env_.messages.size(), 1u);
    QCOMPARE(env_.messages[0].second, tavo::IconStyle::kStop);
    // The name is shown whole, the letter code page 932 lacks replaced.
    const std::string& shown = env_.messages[0].first;
    QVERIFY2(shown.find("/missing-") != std::string::npos && shown.find(".tvd\n(") != std::string::npos, shown.c_str());

    // Bytes that are neither code page 932 nor UTF-8.
    const QString bad = env_.TempPath("bad.tvd");
    WriteBytes(bad, "MAX X\r\n\x81\x7f\xff\r\n");
    QVERIFY(!Start({bad}));
    QVERIFY(env_.messages.back().first.find("2 行目") != std::string::npos);
  }

  void framesMenusToolBarAndStatusBarAreTheOriginals() {
    auto frame = Start();
    QStringList bar;
    for (QAction* a : frame->menuBar()->actions()) bar << a->text();
    QCOMPARE(bar, QStringList({"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "TAVO初期値設定(&I)", "TAVO最適化計算(&G)",
                               "TAVO計算結果(&O)", "ﾍﾙﾌﾟ(&H)"}));
    QStringList buttons;
    for (QAction* a : frame->findChild<QToolBar*>("toolBar")->actions()) {
      buttons << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
      if (!a->isSeparator()) QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
    }
    QCOMPARE(buttons, QStringList({"fileNew", "fileOpen", "fileSave", "|", "editCut", "editCopy", "editPaste", "|",
                                   "settings", "optimise", "results", "filePrint", "|", "appAbout", "contextHelp"}));
    QCOMPARE(frame->Action("optimise")->toolTip(), QStringLiteral("最適化計算"));
    QCOMPARE(frame->Action("fileSave")->statusTip(), QStringLiteral("作業中のﾌｧｲﾙを上書きして保存"));
    QCOMPARE(frame->Action("editUndo")->shortcuts(),
             QList<QKeySequence>({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    QVERIFY(frame->Action("filePrint")->isEnabled());
    QVERIFY(!frame->Action("editUndo")->isEnabled());
    QVERIFY(!frame->Action("editCut")->isEnabled());
    frame->View()->insert("MAX X");
    frame->View()->selectAll();
    QVERIFY(frame->Action("editUndo")->isEnabled());
    QVERIFY(frame->Action("editCut")->isEnabled());
    QCOMPARE(frame->findChild<QLabel*>("messagePane")->text(), QStringLiteral("レディ"));
    QCOMPARE(frame->IndicatorPane(0)->property("indicatorText").toString(), QStringLiteral("ｶﾅ"));
    QCOMPARE(frame->IndicatorPane(3)->property("indicatorText").toString(), QStringLiteral("SCRL"));
    CAboutDlg about(frame.get());
    QCOMPARE(about.findChild<QLabel*>("versionText")->text(), QStringLiteral("TAVO Version 2.7.0.7"));
    QCOMPARE(about.windowTitle(), QStringLiteral("TAVOのﾊﾞｰｼﾞｮﾝ情報"));
  }

  void openEditSaveAndReopenKeepsTheBytes() {
    const QString path = env_.TempPath("model.tvd");
    WriteBytes(path, JapaneseModel());
    auto frame = Start({path});
    CTAVOView* view = frame->View();

    // Typed and taken back: the file gets exactly its old bytes.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(view, "+1");
    QVERIFY(view->isModified());
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClick(view, Qt::Key_Backspace);
    QVERIFY(frame->OnFileSave());
    QCOMPARE(ReadBytes(path), JapaneseModel());
    QCOMPARE(env_.messages.back(), std::make_pair(std::string("上書保存終了"), tavo::IconStyle::kNone));

    // A new line typed at the end: CR LF, Japanese text as code page 932.
    QTest::keyClick(view, Qt::Key_Return);
    view->insert(QStringLiteral("SUB X 25 ! 上限"));
    QVERIFY(frame->OnFileSave());
    const std::string expected = JapaneseModel() + Sjis("\r\nSUB X 25 ! 上限");
    QCOMPARE(ReadBytes(path), expected);
    QVERIFY(frame->OpenDocument(path));
    QCOMPARE(frame->ModelTextCp932(), expected);
    QVERIFY(!view->isModified());
  }

  void typedModelSavedThroughTheKeyboard() {
    auto frame = Start();
    env_.fileName = env_.TempPath("typed.tvd");
    frame->View()->setFocus();
    QTest::keyClicks(frame->View(), "MAX X");
    QTest::keyClick(frame->View(), Qt::Key_Return);
    QTest::keyClicks(frame->View(), "ST");
    QTest::keyClick(frame->View(), Qt::Key_Return);
    QTest::keyClicks(frame->View(), "X <= 4");
    QTest::keyClick(frame->View(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(env_.fileDialogs, 1);
    QCOMPARE(ReadBytes(env_.fileName), std::string("MAX X\r\nST\r\nX <= 4"));
    QCOMPARE(frame->windowTitle(), QStringLiteral("typed.tvd - TAVO"));
    QCOMPARE(env_.messages.back().first, std::string("上書保存終了"));
  }

  void saveFailuresLeaveTheFileAlone() {
    const QString path = env_.TempPath("keep.tvd");
    WriteBytes(path, Sjis("MAX X\r\nST\r\nX <= 4\r\n"));
    auto frame = Start({path});
    // A character code page 932 cannot hold (Hangul).
    frame->View()->append(QStringLiteral("! 한"));
    QVERIFY(!frame->OnFileSave());
    QCOMPARE(env_.messages.size(), 2u);
    QCOMPARE(env_.messages[0].second, tavo::IconStyle::kStop);
    QVERIFY2(env_.messages[0].first.find("4 行目の 3 文字目の文字 (U+D55C)") != std::string::npos,
             env_.messages[0].first.c_str());
    QCOMPARE(env_.messages[1], std::make_pair(std::string("上書保存失敗しました"), tavo::IconStyle::kNone));
    QCOMPARE(ReadBytes(path), Sjis("MAX X\r\nST\r\nX <= 4\r\n"));
    QVERIFY(frame->View()->isModified());
    QCOMPARE(QDir(env_.TempPath("")).entryList({".*tavo-*"}, QDir::Files | QDir::Hidden), QStringList());

    // An untitled document whose file-name dialog is cancelled.
    env_.Reset();
    QVERIFY(frame->OnFileNew() == false);  // modified: the question was cancelled
    env_.answer = SaveAnswer::kNo;
    QVERIFY(frame->OnFileNew());
    frame->View()->insert("MAX X");
    QVERIFY(!frame->OnFileSave());
    QCOMPARE(env_.messages.back().first, std::string("上書保存失敗しました"));
  }

  void modifiedTextIsAskedAboutBeforeItIsReplacedOrTheProgramEnds() {
    const QString path = env_.TempPath("asked.tvd");
    WriteBytes(path, "MAX X\r\n");
    auto frame = Start({path});
    frame->View()->append("ST\r\n");

    env_.answer = SaveAnswer::kCancel;
    QVERIFY(!frame->OnFileNew());
    QCOMPARE(env_.questions.back(), QStringLiteral("asked.tvd への変更を保存しますか?"));
    QCOMPARE(frame->ModelTextCp932(), std::string("MAX X\r\nST\r\n"));
    QVERIFY(!frame->close());

    env_.answer = SaveAnswer::kYes;
    QVERIFY(frame->OnFileNew());
    QCOMPARE(ReadBytes(path), std::string("MAX X\r\nST\r\n"));
    QCOMPARE(frame->ModelTextCp932(), std::string());
    QCOMPARE(frame->windowTitle(), QStringLiteral("無題 - TAVO"));

    frame->View()->insert("gone");
    env_.answer = SaveAnswer::kNo;
    const int asked = static_cast<int>(env_.questions.size());
    QVERIFY(frame->OpenDroppedFile(path));
    QCOMPARE(static_cast<int>(env_.questions.size()), asked + 1);
    QCOMPARE(frame->ModelTextCp932(), std::string("MAX X\r\nST\r\n"));
    QVERIFY(frame->close());  // unmodified: no question
    QCOMPARE(static_cast<int>(env_.questions.size()), asked + 1);
  }

  void placementIsSavedAndRestored() {
    {
      auto frame = Start();
      frame->setGeometry(100, 120, 600, 400);
      QVERIFY(frame->close());
    }
    QCOMPARE(ProfileValue("Window size", "Rect"), std::string("0100 0120 0700 0520"));
    QCOMPARE(ProfileValue("Window size", "icon"), std::string("0"));
    QCOMPARE(ProfileValue("Window size", "max"), std::string("0"));
    {
      auto frame = Start();
      QCOMPARE(frame->geometry(), QRect(100, 120, 600, 400));
      frame->showMaximized();
      QVERIFY(frame->close());
    }
    QCOMPARE(ProfileValue("Window size", "max"), std::string("1"));
    QCOMPARE(ProfileValue("Window size", "Rect"), std::string("0100 0120 0700 0520"));
    {
      auto frame = Start();
      QVERIFY(frame->windowState() & Qt::WindowMaximized);
      frame->setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);  // minimised from maximised
      QVERIFY(frame->close());
    }
    QCOMPARE(ProfileValue("Window size", "icon"), std::string("1"));
    QCOMPARE(ProfileValue("Window size", "max"), std::string("1"));
    {
      auto frame = Start();
      QCOMPARE(frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
               Qt::WindowMinimized | Qt::WindowMaximized);
    }
  }

  void rectTextsAreReadSafely() {
    PlacementRecord rec;
    rec.left = -12;
    rec.top = -345;
    rec.right = 800;
    rec.bottom = 600;
    QCOMPARE(FormatRect(rec), std::string("-012 -345 0800 0600"));
    PlacementRecord back;
    QVERIFY(ParseRect(FormatRect(rec), back));
    QCOMPARE(FormatRect(back), FormatRect(rec));
    // Hand-edited texts too short for four numbers, or empty rectangles:
    // the default rectangle.
    for (const char* text : {"0100 0120 0700", "0100 0120 0700 ", "0100", "0100 0120 0050 0520", "abc"}) {
      PlacementRecord r;
      QVERIFY2(!ParseRect(text, r), text);
      QCOMPARE(FormatRect(r), std::string("0010 0010 0800 0600"));
    }
  }

  void droppedFileIsOpened() {
    const QString path = env_.TempPath("dropped.tvd");
    WriteBytes(path, "MAX DROPPED\r\n");
    auto frame = Start();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    // On the editor (the frame's whole inside) and on the frame itself.
    for (QWidget* target : {static_cast<QWidget*>(frame->View()->viewport()), static_cast<QWidget*>(frame.get())}) {
      frame->OnFileNew();
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &drop);
      QCOMPARE(frame->ModelTextCp932(), std::string("MAX DROPPED\r\n"));
      QCOMPARE(frame->windowTitle(), QStringLiteral("dropped.tvd - TAVO"));
    }
  }

  void recentFilesKeepTheLastFour() {
    auto frame = Start();
    for (int i = 1; i <= 5; ++i) {
      const QString path = env_.TempPath(QStringLiteral("r%1.tvd").arg(i));
      WriteBytes(path, "MAX X\r\n");
      QVERIFY(frame->OpenDocument(path));
    }
    QCOMPARE(ProfileValue("Recent File List", "File1"), env_.TempPath("r5.tvd").toStdString());
    QCOMPARE(ProfileValue("Recent File List", "File4"), env_.TempPath("r2.tvd").toStdString());
    QVERIFY(!frame->Action("recentPlaceholder")->isVisible());
    QVERIFY(frame->Action("recentFile4")->isVisible());
    QVERIFY(frame->Action("recentFile2")->text().endsWith("r4.tvd"));
    frame->Action("recentFile3")->trigger();
    QCOMPARE(frame->windowTitle(), QStringLiteral("r3.tvd - TAVO"));
    QCOMPARE(ProfileValue("Recent File List", "File1"), env_.TempPath("r3.tvd").toStdString());
    // A listed file that has gone: reported, and it leaves the list.
    QFile::remove(env_.TempPath("r4.tvd"));  // third now: r3 r5 r4 r2
    frame->Action("recentFile3")->trigger();
    QCOMPARE(env_.messages.back().second, tavo::IconStyle::kStop);
    QCOMPARE(frame->windowTitle(), QStringLiteral("r3.tvd - TAVO"));
    QCOMPARE(frame->RecentFiles().Files().size(), 3u);
    QCOMPARE(ProfileValue("Recent File List", "File4"), std::string());
  }

  void dataErrorLinesAreMarkedAfterARun() {
    auto frame = Start();
    frame->View()->insert(QStringLiteral("MAX 3X + 2Y\r\nST\r\nX + Y <= ABC\r\nX + Y <= 3\r\nFIX X ABC\r\n"));
    qputenv("LANG", "ja_JP.UTF-8");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    frame->Action("optimise")->trigger();
    QVERIFY(!env_.messages.empty());  // the data-error box
    const std::vector<ErrorLine> errors = ParseErrorLines(tavo::g_lastResult.logText);
    QVERIFY(!errors.empty());
    QCOMPARE(errors.front().line, 3);
    QCOMPARE(frame->View()->ErrorMarkCount(), 2);

    // F4 walks through the marked lines and wraps round.
    QApplication::setActiveWindow(frame.get());
    frame->View()->setCursorPosition(0, 0);
    int line = -1, index = -1;
    QTest::keyClick(frame->View(), Qt::Key_F4);
    frame->View()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
    QTest::keyClick(frame->View(), Qt::Key_F4);
    frame->View()->getCursorPosition(&line, &index);
    QCOMPARE(line, 4);
    QTest::keyClick(frame->View(), Qt::Key_F4);
    frame->View()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
    QVERIFY(frame->View()->annotation(2).contains(QStringLiteral("右辺値(RHS)が数値ではありません")));

    // A log set by hand: messages of one line are joined; a line beyond the
    // text marks the last line; a clean log clears the marks.
    tavo::g_lastModelText.clear();
    tavo::g_lastResult.logText = Sjis("Line 1 : 正当でない変数の名前( 1X )\r\nLine 1 : 未定義の変数( Q )\r\n") +
                                 "Line 99 ERROR!\r\nLine x : no\r\nLine 2\r\nLine 99999999999 : too long\r\n";
    frame->MarkErrorLinesFromLastRun();
    QCOMPARE(frame->View()->ErrorMarkCount(), 3);
    QCOMPARE(frame->View()->annotation(0), QStringLiteral("正当でない変数の名前( 1X )\n未定義の変数( Q )"));
    tavo::g_lastResult.logText = "no errors\r\n";
    frame->MarkErrorLinesFromLastRun();
    QCOMPARE(frame->View()->ErrorMarkCount(), 0);

    // Warnings about the text that ran get marks of their own, and F4 stops
    // at them too.
    frame->View()->SetTextUtf8("MAX 3X\r\nST\r\nX-2Y + X <= 4\r\n");
    tavo::g_lastModelText = "MAX 3X\r\nST\r\nX-2Y + X <= 4\r\n";
    frame->MarkErrorLinesFromLastRun();
    QCOMPARE(frame->View()->ErrorMarkCount(), 0);
    QCOMPARE(frame->View()->WarningMarkCount(), 1);
    QVERIFY(frame->View()->annotation(2).startsWith(QStringLiteral("警告: ")));
    frame->View()->setCursorPosition(0, 0);
    QVERIFY(frame->OnNextErrorLine());
    frame->View()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
  }

  void findReplaceAndTheManual() {
    auto frame = Start();
    const std::string text = "MAX A + AB\r\nST\r\nA + ab <= 4\r\n";
    frame->View()->SetTextUtf8(text);
    frame->OnReplace();
    auto* dlg = frame->findChild<CFindDlg*>();
    QVERIFY(dlg);
    dlg->findEdit()->setText("AB");
    dlg->replaceEdit()->setText("C");
    QCOMPARE(dlg->ReplaceAll(), 2);
    QCOMPARE(frame->View()->TextUtf8(), std::string("MAX A + C\r\nST\r\nA + C <= 4\r\n"));
    frame->Action("editUndo")->trigger();  // one step
    QCOMPARE(frame->View()->TextUtf8(), text);
    frame->View()->setCursorPosition(0, 0);
    frame->OnFind();
    dlg->findEdit()->setText("st");
    QVERIFY(dlg->FindNext());
    QCOMPARE(frame->View()->selectedText(), QStringLiteral("ST"));
    QVERIFY(!dlg->FindNext());  // no wrap past the end

    // The manual, built into the program, in a window of its own.
    frame->Action("help")->trigger();
    auto* browser = frame->findChild<QTextBrowser*>("manualBrowser");
    QVERIFY(browser);
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Glossary")));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("目標達成分析")));
    // The page the home-page command opens: the build's HTML copy.
    QVERIFY(InstalledManualPage().endsWith(QStringLiteral("manual.html")));
  }

  void checkMarksLinesWithoutARun() {
    auto frame = Start();
    tavo::g_lastResult = tavo::CalcResult{};
    tavo::g_lastResult.columnsText = "kept";
    frame->View()->SetTextUtf8("MAX 3X\r\nST\r\nX-2Y + X <= 4\r\nFIX Q 1\r\n");
    QTest::keyClick(frame->View(), Qt::Key_F7);
    QCOMPARE(frame->View()->ErrorMarkCount(), 1);    // FIX Q: an undefined variable
    QCOMPARE(frame->View()->WarningMarkCount(), 1);  // X-2Y: one name
    int line = -1, index = -1;
    frame->View()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);  // the first marked line
    QVERIFY(env_.messages.empty());
    QCOMPARE(tavo::g_lastResult.columnsText, std::string("kept"));
    QCOMPARE(frame->findChild<QLabel*>("messagePane")->text(),
             QStringLiteral("データ エラーのある行: 1、警告のある行: 1 (F4 で次の行へ)"));

    frame->View()->SetTextUtf8("");
    frame->OnCheck();
    QCOMPARE(env_.messages.size(), 1u);  // no input data
    QCOMPARE(frame->View()->ErrorMarkCount(), 0);
    QCOMPARE(frame->findChild<QLabel*>("messagePane")->text(), QStringLiteral("レディ"));
  }

  void editorWrapsAndHighlights() {
    auto frame = Start();
    QCOMPARE(frame->View()->wrapMode(), QsciScintilla::WrapWord);
    QCOMPARE(frame->View()->SendScintilla(QsciScintilla::SCI_GETHSCROLLBAR), 0L);
    const std::string text = "C1) 3X + Y <= 4 ! note\nINT 2";
    const std::string styles = CModelLexer::StyleBytes(text);
    auto at = [&](std::size_t i) { return static_cast<int>(styles[i]); };
    QCOMPARE(at(0), int(CModelLexer::kLabel));
    QCOMPARE(at(4), int(CModelLexer::kNumber));
    QCOMPARE(at(5), int(CModelLexer::kDefault));
    QCOMPARE(at(7), int(CModelLexer::kOperator));
    QCOMPARE(at(11), int(CModelLexer::kOperator));
    QCOMPARE(at(16), int(CModelLexer::kComment));
    QCOMPARE(at(23), int(CModelLexer::kKeyword));
    QCOMPARE(at(27), int(CModelLexer::kNumber));
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
