// The print command in the desktop program: the selection dialog, the
// messages before a print, output through the print dialog to a PDF file,
// and the headless --print-pdf command read back with pdftotext.
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <array>
#include <functional>
#include <string>

#include "gui/main_frame.h"
#include "gui/model_editor.h"
#include "gui/print_command.h"
#include "gui/print_select_dlg.h"
#include "gui_test_support.h"
#include "shell/optimise.h"
#include "shell/print_layout.h"

using tavo::IconStyle;
using tavo::gui::test::GuiTestEnvironment;
using tavo::gui::test::Sjis;

namespace {

// A model with a Japanese comment and a long line that wraps.
const char* kModel =
    "TITLE 生産計画\r\n"
    "! 目標: 利益の最大化\r\n"
    "MAX + 3 X1 + 2 X2\r\n"
    "ST\r\n"
    "+ 1 X1 + 1 X2 <= 4\r\n"
    "\r\n"
    "+ 1 X1 + 3 X2 <= 6\r\n";

// Answers the next modal selection dialog: sets the boxes (from the top) and
// presses OK, or Cancel when `ok` is false.
void AnswerSelection(std::array<bool, 4> boxes, bool ok = true) {
  QTimer::singleShot(0, [boxes, ok] {
    auto* dlg = qobject_cast<CPrintSelectDlg*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    for (int i = 0; i < 4; ++i) dlg->checkBox(i)->setChecked(boxes[i]);
    dlg->findChild<QPushButton*>(ok ? "ok" : "cancel")->click();
  });
}

QString Tool(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT

 private:
  GuiTestEnvironment env_;

  void ClearLastRun() {
    tavo::g_lastModelText.clear();
    tavo::g_lastResult = tavo::CalcResult();
  }

  // Runs tavo-gui --print-pdf and returns its exit status; standard error in `err`.
  int RunPrintPdf(const QStringList& args, QString* err = nullptr) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(TAVO_BINARY_DIR "/tavo-gui"), QStringList{"--print-pdf"} + args);
    if (!p.waitForFinished(120000)) return -1;
    if (err) *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

  QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(Tool("pdftotext"), {"-layout", pdf, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
  }

 private slots:
  void init() {
    env_.Reset();
    ClearLastRun();
    tavo::g_printInput = 1, tavo::g_printLog = 0, tavo::g_printColumns = 1, tavo::g_printRows = 1;
    tavo::gui::SetPrintDialogHookForTests({});
  }

  void selectionDialogShowsItsTextsInOrder() {
    CPrintSelectDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("TAVO結果印刷"));
    QCOMPARE(dlg.findChild<QLabel*>("title")->text(), QStringLiteral("TAVO 印刷ファイルの選択"));
    QCOMPARE(dlg.findChild<QLabel*>("instruction")->text(),
             QStringLiteral("各チェクボックスをクリックして、追加または取消しを選んで下さい。"));
    const QStringList labels = {"インプット・データ ファイル", "計算経過一覧（誤差情報含む）", "COLUMNS 変数最適化解",
                                "ROWS 変数最適化解"};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(dlg.checkBox(i)->text(), labels[i]);
      if (i > 0) QVERIFY(dlg.checkBox(i)->geometry().top() > dlg.checkBox(i - 1)->geometry().bottom());
      QVERIFY(dlg.rect().contains(dlg.checkBox(i)->geometry()));
    }
    QCOMPARE(dlg.findChild<QPushButton*>("cancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    QCOMPARE(dlg.m_input + dlg.m_log + dlg.m_columns + dlg.m_rows, 0);
  }

  void theChoiceIsKeptAndCancelChangesNothing() {
    // Only the log chosen, without a run: the no-run message; the choice stays.
    AnswerSelection({false, true, false, false});
    tavo::gui::PrintCommand(nullptr, Sjis(kModel));
    QCOMPARE(tavo::g_printInput, 0);
    QCOMPARE(tavo::g_printLog, 1);
    QCOMPARE(tavo::g_printColumns, 0);
    QCOMPARE(tavo::g_printRows, 0);
    QCOMPARE(env_.messages.size(), std::size_t(1));
    QCOMPARE(env_.messages[0].first, std::string("最適化計算を実行しておりません"));
    QCOMPARE(env_.messages[0].second, IconStyle::kStop);

    // The dialog opens with the kept choice; Cancel leaves it and prints nothing.
    env_.Reset();
    QTimer::singleShot(0, [] {
      auto* dlg = qobject_cast<CPrintSelectDlg*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      QVERIFY(!dlg->checkBox(0)->isChecked());
      QVERIFY(dlg->checkBox(1)->isChecked());
      dlg->checkBox(0)->setChecked(true);
      dlg->findChild<QPushButton*>("cancel")->click();
    });
    tavo::gui::PrintCommand(nullptr, Sjis(kModel));
    QCOMPARE(tavo::g_printInput, 0);
    QVERIFY(env_.messages.empty());
  }

  void emptyEditorAndMissingRunAreReported() {
    tavo::gui::CMainFrame frame;
    QVERIFY(frame.Action("filePrint")->isEnabled());
    QVERIFY(frame.Action("filePrintSetup")->isEnabled());
    // The default choice holds the input data: an empty editor stops the print.
    AnswerSelection({true, false, true, true});
    frame.Action("filePrint")->trigger();
    QCOMPARE(env_.messages.size(), std::size_t(1));
    QCOMPARE(env_.messages[0].first, std::string("エラー !  入力データがありません"));
    QCOMPARE(env_.messages[0].second, IconStyle::kStop);

    // With a text but no run, the result reports cannot be printed.
    env_.Reset();
    frame.View()->SetTextUtf8(kModel);
    AnswerSelection({true, false, true, false});
    frame.Action("filePrint")->trigger();
    QCOMPARE(env_.messages.size(), std::size_t(1));
    QCOMPARE(env_.messages[0].first, std::string("最適化計算を実行しておりません"));
    QCOMPARE(env_.messages[0].second, IconStyle::kStop);
  }

  void printingToAPdfLeavesTheLastRunAlone() {
    const QString pdf = env_.TempPath("dialog.pdf");
    // A run's outcome belongs to another text.
    tavo::g_lastModelText = Sjis("MAX X\r\n");
    tavo::g_lastResult.logText = Sjis("LOG LINE\r\n");
    tavo::g_lastResult.columnsText = Sjis("  1 X BS 1. 0.\r\n");
    int dialogs = 0;
    tavo::gui::SetPrintDialogHookForTests([&](QPrinter& printer) {
      ++dialogs;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    });
    tavo::g_printInput = tavo::g_printLog = tavo::g_printColumns = 1;
    tavo::g_printRows = 0;
    tavo::gui::PrintSelected(nullptr, Sjis(kModel));
    QCOMPARE(dialogs, 1);
    QVERIFY(env_.messages.empty());
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(tavo::g_lastModelText, Sjis("MAX X\r\n"));
    if (!Tool("pdftotext").isEmpty()) {
      const QString text = PdfText(pdf);
      QVERIFY2(text.contains("生産計画"), qPrintable(text));
      QVERIFY(text.contains("LOG LINE"));
    }

    // No printer chosen (the dialog cancelled): the failure message in a plain box.
    tavo::gui::SetPrintDialogHookForTests([](QPrinter&) { return false; });
    tavo::gui::PrintSelected(nullptr, Sjis(kModel));
    QCOMPARE(env_.messages.size(), std::size_t(1));
    QCOMPARE(env_.messages[0].first, std::string("TAVO 印刷失敗"));
    QCOMPARE(env_.messages[0].second, IconStyle::kNone);
  }

  void previewShowsThePages() {
    tavo::g_lastResult.logText = Sjis("LOG LINE\r\n");
    std::string text;
    for (int i = 0; i < 130; ++i) text += "! line " + std::to_string(i + 1) + "\r\n";
    AnswerSelection({true, true, false, false});
    int pages = -1;
    // The selection dialog closes first; then the preview opens.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
      if (!preview) return;
      poll.stop();
      auto* widget = preview->findChild<QPrintPreviewWidget*>();
      if (widget) {
        widget->updatePreview();
        pages = widget->pageCount();
      }
      preview->reject();
    });
    poll.start(50);
    tavo::gui::PrintPreviewCommand(nullptr, text);
    QVERIFY(env_.messages.empty());
    QCOMPARE(pages, 3);  // 60 lines a page, the log on the third
  }

  void headlessPdfReadsBack() {
    if (Tool("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const QString model = env_.TempPath("model.tvd");
    std::string text = Sjis(kModel);
    // 130 more lines: the input data takes three pages.
    for (int i = 0; i < 130; ++i) text += "! comment " + std::to_string(i + 8) + "\r\n";
    text += "! " + std::string(150, 'W') + "\r\n";
    tavo::gui::test::WriteBytes(model, text);
    const QString pdf = env_.TempPath("out.pdf");
    QString err;
    QCOMPARE(RunPrintPdf({pdf, model}, &err), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    const QString all = PdfText(pdf);
    const QStringList pages = all.split('\f', Qt::SkipEmptyParts);
    QVERIFY2(pages.size() >= 4, qPrintable(all));
    // The header on every page, with its number.
    for (int i = 0; i < pages.size(); ++i) {
      if (pages[i].trimmed().isEmpty()) continue;
      QVERIFY2(pages[i].contains("目標計画法 TAVO(Tiered aim Optimization)"), qPrintable(pages[i]));
      QVERIFY2(pages[i].contains(QRegularExpression(QStringLiteral("Page +%1\\b").arg(i + 1))), qPrintable(pages[i]));
    }
    // Line numbers before the text; the blank line is not numbered; Japanese text intact.
    QVERIFY(all.contains(QRegularExpression("\\b1 +TITLE 生産計画")));
    QVERIFY(all.contains(QRegularExpression("\\b2 +! 目標: 利益の最大化")));
    QVERIFY(all.contains(QRegularExpression("\\b6 +\\+ 1 X1 \\+ 3 X2 <= 6")));
    QVERIFY(!all.contains(QRegularExpression("\\b7 +\\+ 1 X1 \\+ 3 X2")));
    QVERIFY(pages[0].contains(QRegularExpression("\\b60 +! comment 61")));
    QVERIFY(pages[1].contains(QRegularExpression("\\b61 +! comment 62")));
    // The long line wraps after 80 bytes.
    QVERIFY(all.contains("! " + QString(78, 'W') + "\n"));
    // The reports.
    QVERIFY2(all.contains(QRegularExpression("\\b1 +X1 +BS +4\\. +0\\.")), qPrintable(all));
    QVERIFY(all.contains(QRegularExpression("目標行1 +BS +12\\. +0\\.")));
    QVERIFY(all.contains("PHASE 2 END"));

    // A page range: only pages 2 and 3, the same pages as in the full print.
    const QString part = env_.TempPath("part.pdf");
    QCOMPARE(RunPrintPdf({part, model, "--sections", "input", "--from", "2", "--to", "3"}), 0);
    const QStringList partPages = PdfText(part).split('\f', Qt::SkipEmptyParts);
    QCOMPARE(partPages.size(), 2);
    // (The header's time of day may differ between the two runs.)
    auto body = [](const QString& page) {
      QStringList lines = page.split('\n');
      lines.removeIf([](const QString& line) { return line.contains("Tiered aim"); });
      return lines;
    };
    QCOMPARE(body(partPages[0]), body(pages[1]));
    QVERIFY(partPages[1].contains(QRegularExpression("Page +3\\b")));
  }

  void headlessPdfFailuresSayWhy() {
    QString err;
    const QString pdf = env_.TempPath("never.pdf");
    QVERIFY(RunPrintPdf({pdf, env_.TempPath("missing.tvd")}, &err) != 0);
    QVERIFY2(err.contains("cannot read"), qPrintable(err));
    QCOMPARE(err.count('\n'), 1);
    const QString model = env_.TempPath("empty.tvd");
    tavo::gui::test::WriteBytes(model, "");
    QVERIFY(RunPrintPdf({pdf, model}, &err) != 0);
    QVERIFY2(err.contains("no input data"), qPrintable(err));
    QVERIFY(RunPrintPdf({pdf, model, "--sections", "tables"}, &err) != 0);
    QVERIFY2(err.contains("unknown section"), qPrintable(err));
    QVERIFY(RunPrintPdf({pdf, model, "--from", "0"}, &err) != 0);
    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(RunPrintPdf({env_.TempPath("no/such/dir/x.pdf"), model, "--sections", ""}, &err) != 0);
  }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
