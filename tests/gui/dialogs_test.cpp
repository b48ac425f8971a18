// The optimise command with its progress window, the results command and
// dialog, the settings dialog and the message boxes, driven offscreen.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <string>
#include <vector>

#include "gui/dialog_units.h"
#include "gui/message_box.h"
#include "gui/optimise_command.h"
#include "gui/progress_dlg.h"
#include "gui/results_dlg.h"
#include "gui/settings_dlg.h"
#include "gui/text_convert.h"
#include "shell/codec.h"
#include "shell/numbers.h"
#include "shell/optimise.h"
#include "shell/profile.h"
#include "shell/texts.h"

Q_DECLARE_METATYPE(tavo::IconStyle)
Q_DECLARE_METATYPE(std::string)

namespace {

using tavo::IconStyle;
using tavo::ProgressField;
using tavo::T;

std::string J(const char* utf8) {
  std::string out;
  tavo::Utf8ToCp932(utf8, out);
  return out;
}

QString Q(const std::string& cp932) { return tavo::gui::ToDisplay(cp932); }

struct Message {
  std::string text;
  IconStyle icon;
};

// Small models, one per outcome.
const std::string kOptimal = "MAX + 1 X1 + 1 X2\r\nST\r\n+ 1 X1 + 2 X2 <= 4\r\n+ 3 X1 + 1 X2 <= 6\r\n";
const std::string kInfeasible = "MAX + 1 X1\r\nST\r\n+ 1 X1 >= 5\r\n+ 1 X1 <= 3\r\n";
const std::string kUnbounded = "MAX + 1 X1\r\nST\r\n+ 1 X1 >= 1\r\n";
const std::string kNoConstraints = "MAX + 1 X1\r\n";

// A model that takes hundreds of iterations: `rows` dense rows over twice as
// many columns. With "<=" rows the start is feasible (a stop then has a
// feasible point); with ">=" rows phase 1 needs many iterations first.
std::string LongModel(int rows, bool startFeasible) {
  std::uint64_t state = 12345;
  auto next = [&state](int lo, int hi) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return lo + static_cast<int>((state >> 33) % static_cast<std::uint64_t>(hi - lo + 1));
  };
  int cols = 2 * rows;
  std::string text = startFeasible ? "MAX" : "MIN";
  for (int j = 1; j <= cols; ++j) text += " + " + std::to_string(next(1, 9)) + " X" + std::to_string(j) + "\r\n";
  text += "ST\r\n";
  for (int i = 0; i < rows; ++i) {
    for (int j = 1; j <= cols; ++j)
      if (next(0, 2) == 0) text += "+ " + std::to_string(next(1, 9)) + " X" + std::to_string(j) + "\r\n";
    text +=
        "+ 1 X" + std::to_string(i + 1) + (startFeasible ? " <= " : " >= ") + std::to_string(next(50, 500)) + "\r\n";
  }
  return text;
}

void SetEnv(const char* name, const char* value) {
  if (value == nullptr || *value == '\0')
    qunsetenv(name);
  else
    qputenv(name, value);
}

// Runs `check` on the modal dialog the next command opens, then closes it.
template <typename Dialog>
void OnNextModal(std::function<void(Dialog*)> check, bool* seen) {
  *seen = false;
  QTimer::singleShot(0, [check, seen] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    *seen = true;
    check(dialog);
    dialog->accept();
  });
}

CProgressDlg* ActiveProgress() { return qobject_cast<CProgressDlg*>(QApplication::activeModalWidget()); }

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  std::vector<Message> messages_;
  // Called at each message, while the window that shows it is still up.
  std::function<void()> atMessage_;
  std::unique_ptr<QTemporaryDir> config_;

  std::string ProfilePath() const { return tavo::DefaultProfilePath(); }
  void WriteProfile(const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(QString::fromStdString(ProfilePath())).path());
    QFile f(QString::fromStdString(ProfilePath()));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray ReadProfile() const {
    QFile f(QString::fromStdString(ProfilePath()));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private slots:
  void initTestCase() {
    tavo::gui::SetMessageBoxHookForTests([this](const std::string& text, IconStyle icon) {
      messages_.push_back({text, icon});
      if (atMessage_) atMessage_();
    });
  }

  void init() {
    messages_.clear();
    atMessage_ = nullptr;
    config_ = std::make_unique<QTemporaryDir>();
    QVERIFY(config_->isValid());
    qputenv("XDG_CONFIG_HOME", config_->path().toUtf8());
    SetEnv("LC_ALL", nullptr);
    SetEnv("LC_MESSAGES", nullptr);
    SetEnv("LANG", "ja_JP.UTF-8");
  }

  // ---- The locale rule ----

  void localeRule_data() {
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QByteArray>("lcMessages");
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<bool>("japanese");
    QTest::newRow("LANG ja_JP.UTF-8") << QByteArray() << QByteArray() << QByteArray("ja_JP.UTF-8") << true;
    QTest::newRow("LANG ja") << QByteArray() << QByteArray() << QByteArray("ja") << true;
    QTest::newRow("LANG ja_JP.eucJP@x") << QByteArray() << QByteArray() << QByteArray("ja_JP.eucJP@x") << true;
    QTest::newRow("LANG japanese") << QByteArray() << QByteArray() << QByteArray("japanese") << true;
    QTest::newRow("LANG jam (another language)") << QByteArray() << QByteArray() << QByteArray("jam_JM") << false;
    QTest::newRow("LANG en_US") << QByteArray() << QByteArray() << QByteArray("en_US.UTF-8") << false;
    QTest::newRow("nothing set") << QByteArray() << QByteArray() << QByteArray() << false;
    QTest::newRow("LC_ALL C wins over LANG ja")
        << QByteArray("C") << QByteArray() << QByteArray("ja_JP.UTF-8") << false;
    QTest::newRow("LC_ALL ja wins over LC_MESSAGES en")
        << QByteArray("ja_JP.UTF-8") << QByteArray("en_GB.UTF-8") << QByteArray() << true;
    QTest::newRow("LC_MESSAGES ja wins over LANG en")
        << QByteArray() << QByteArray("ja_JP.UTF-8") << QByteArray("en_US.UTF-8") << true;
    QTest::newRow("LC_MESSAGES en wins over LANG ja")
        << QByteArray() << QByteArray("en_US.UTF-8") << QByteArray("ja_JP.UTF-8") << false;
  }

  void localeRule() {
    QFETCH(QByteArray, lcAll);
    QFETCH(QByteArray, lcMessages);
    QFETCH(QByteArray, lang);
    QFETCH(bool, japanese);
    SetEnv("LC_ALL", lcAll.constData());
    SetEnv("LC_MESSAGES", lcMessages.constData());
    SetEnv("LANG", lang.constData());
    QCOMPARE(tavo::gui::JapaneseLocale(), japanese);
  }

  // Outside a Japanese locale only the English message appears, and the
  // last run's results are gone.
  void optimiseRefusedOutsideJapaneseLocale() {
    tavo::gui::OptimiseCommand(nullptr, kOptimal);
    QCOMPARE(tavo::g_lastResult.resultCode, tavo::kResultOptimal);
    messages_.clear();

    SetEnv("LANG", "en_US.UTF-8");
    tavo::gui::OptimiseCommand(nullptr, kOptimal);
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text, std::string("It can't run with it except for Japanese environment"));
    QCOMPARE(messages_[0].icon, IconStyle::kStop);
    QVERIFY(tavo::g_lastResult.logText.empty());
    QVERIFY(tavo::g_lastModelText.empty());

    messages_.clear();
    tavo::gui::ResultsCommand(nullptr, kOptimal);
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text, J("最適化計算を実行しておりません！"));
    QCOMPARE(messages_[0].icon, IconStyle::kStop);
  }

  // An empty text: the message, the one log line, and results that an empty
  // editor may show.
  void optimiseEmptyText() {
    tavo::gui::OptimiseCommand(nullptr, "");
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text, J("エラー!　入力データがありません"));
    QCOMPARE(messages_[0].icon, IconStyle::kStop);
    QCOMPARE(tavo::g_lastResult.logText, J("エラー!　入力データがありません\r\n"));
    QVERIFY(tavo::g_lastModelText.empty());

    bool seen = false;
    OnNextModal<CResultsDlg>(
        [](CResultsDlg* d) {
          QCOMPARE(d->edit(0)->toPlainText(), QString::fromUtf8("エラー!　入力データがありません\n"));
          for (int tab = 1; tab < 4; ++tab) QVERIFY(d->edit(tab)->toPlainText().isEmpty());
        },
        &seen);
    tavo::gui::ResultsCommand(nullptr, "");
    QVERIFY(seen);
    // A blank line is a text: the results of the empty text do not belong to it.
    messages_.clear();
    tavo::gui::ResultsCommand(nullptr, "\r\n");
    QCOMPARE(messages_.size(), std::size_t{1});
  }

  // ---- Status messages ----

  void statusMessage_data() {
    QTest::addColumn<std::string>("model");
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<int>("code");
    QTest::addColumn<std::string>("message");
    QTest::addColumn<IconStyle>("icon");
    QTest::newRow("optimal") << kOptimal << QByteArray() << 1 << J("計算終了、最適解が求められました。")
                             << IconStyle::kInformation;
    QTest::newRow("infeasible") << kInfeasible << QByteArray() << 2 << J("計算終了、実行可能解がありません。")
                                << IconStyle::kInformation;
    QTest::newRow("unbounded") << kUnbounded << QByteArray() << 3 << J("計算終了、無限解。") << IconStyle::kInformation;
    // The settings come from the profile at every run.
    QTest::newRow("iteration limit from the profile")
        << LongModel(30, true) << QByteArray("[Init]\nMAXITERATE=5\n") << 4
        << J("計算終了、イタレーションが許される限界回数を超えました。") << IconStyle::kStop;
    QTest::newRow("parse failure") << kNoConstraints << QByteArray() << -1
                                   << J("データ エラー　!!\r\n詳細は計算経過一覧をご参照ください") << IconStyle::kStop;
  }

  // One message per run, with its icon, shown over the final counters.
  void statusMessage() {
    QFETCH(std::string, model);
    QFETCH(QByteArray, profile);
    QFETCH(int, code);
    QFETCH(std::string, message);
    QFETCH(IconStyle, icon);
    if (!profile.isEmpty()) WriteProfile(profile);
    bool fieldsShown = true;
    atMessage_ = [&fieldsShown] {
      CProgressDlg* dlg = ActiveProgress();
      if (!dlg || !dlg->isVisible()) {
        fieldsShown = false;
        return;
      }
      for (int id = 1014; id <= 1019; ++id) {
        auto f = static_cast<ProgressField>(id);
        if (dlg->ShownField(f) != Q(dlg->Field(f))) fieldsShown = false;
      }
    };
    tavo::gui::OptimiseCommand(nullptr, model);
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text, message);
    QCOMPARE(messages_[0].icon, icon);
    QVERIFY(fieldsShown);
    QCOMPARE(tavo::g_lastModelText, model);
    QVERIFY(!tavo::g_lastResult.logText.empty());
    if (code >= 0) QCOMPARE(tavo::g_lastResult.resultCode, code);
  }

  // ---- Forced termination ----

  void forcedTermination_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<bool>("startFeasible");
    QTest::addColumn<int>("code");
    QTest::newRow("button, feasible point known") << false << true << 6;
    QTest::newRow("close box, feasible point known") << true << true << 6;
    QTest::newRow("button, no feasible point yet") << false << false << 7;
    QTest::newRow("close box, no feasible point yet") << true << false << 7;
  }

  // The request is answered within an iteration or two; the close box does
  // not close the window, and the run ends with its status message.
  void forcedTermination() {
    QFETCH(bool, closeBox);
    QFETCH(bool, startFeasible);
    QFETCH(int, code);
    const int kPressAt = 5;
    long pressedAt = -1, stoppedAt = -1;
    bool visibleAfterClose = false, visibleAtMessage = false;
    QTimer presser;
    presser.setInterval(0);
    connect(&presser, &QTimer::timeout, [&] {
      CProgressDlg* dlg = ActiveProgress();
      if (!dlg || pressedAt >= 0) return;
      long iterations = tavo::CAtoi(dlg->Field(ProgressField::kIterations));
      if (iterations < kPressAt) return;
      pressedAt = iterations;
      if (closeBox) {
        dlg->close();
        visibleAfterClose = dlg->isVisible();
      } else {
        QTest::mouseClick(dlg->stopButton(), Qt::LeftButton);
      }
    });
    presser.start();
    atMessage_ = [&] {
      CProgressDlg* dlg = ActiveProgress();
      if (!dlg) return;
      visibleAtMessage = dlg->isVisible();
      stoppedAt = tavo::CAtoi(dlg->Field(ProgressField::kIterations));
    };
    tavo::gui::OptimiseCommand(nullptr, LongModel(120, startFeasible));
    presser.stop();

    QVERIFY(pressedAt >= kPressAt);
    QCOMPARE(tavo::g_lastResult.resultCode, code);
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text, T().statusMessage[code]);
    QCOMPARE(messages_[0].icon, code == 6 ? IconStyle::kInformation : IconStyle::kStop);
    QVERIFY(visibleAtMessage);
    if (closeBox) QVERIFY(visibleAfterClose);
    QVERIFY2(stoppedAt - pressedAt <= 2,
             qPrintable(QStringLiteral("pressed at %1, stopped at %2").arg(pressedAt).arg(stoppedAt)));
    // The flag does not outlive its run: the next run goes to its end.
    messages_.clear();
    tavo::gui::OptimiseCommand(nullptr, kOptimal);
    QCOMPARE(tavo::g_lastResult.resultCode, tavo::kResultOptimal);
  }

  // ---- The progress window ----

  void progressWindowBeforeTheRun() {
    CProgressDlg dlg(nullptr);
    QCOMPARE(dlg.windowTitle(), QString::fromUtf8("TAVO最適化計算状態"));
    QCOMPARE(dlg.stopButton()->text(), QString::fromUtf8("強制終了"));
    const std::pair<ProgressField, const char*> initial[] = {
        {ProgressField::kResultCode, "0"}, {ProgressField::kFeasibility, "実行不可能"},
        {ProgressField::kFirstGoal, "0"},  {ProgressField::kIterations, "0"},
        {ProgressField::kBranches, "0"},   {ProgressField::kElapsed, "00:00:00"},
    };
    for (const auto& [field, text] : initial) QCOMPARE(dlg.ShownField(field), QString::fromUtf8(text));
    QStringList labels;
    for (QLabel* l : dlg.findChildren<QLabel*>())
      if (l->objectName().isEmpty()) labels << l->text();
    QCOMPARE(labels, QStringList({QString::fromUtf8("計算結果コード"), QString::fromUtf8("実行可能性状態"),
                                  QString::fromUtf8("第一目標値　　　 "), QString::fromUtf8("イタレーション回数"),
                                  QString::fromUtf8("分岐回数"), QString::fromUtf8("実行時間")}));
    // A field written by the run shows on screen once the pump repaints.
    dlg.SetField(ProgressField::kIterations, "42");
    QTest::qWait(40);
    dlg.PumpOneMessage();
    QCOMPARE(dlg.ShownField(ProgressField::kIterations), QStringLiteral("42"));

    // Escape neither closes the window nor asks for a stop.
    tavo::g_forceStop.store(0);
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QCOMPARE(int(tavo::g_forceStop.load()), 0);
    QTest::keyClick(dlg.stopButton(), Qt::Key_Return);
    QCOMPARE(int(tavo::g_forceStop.load()), 0);
    dlg.hide();
  }

  // ---- The results command and dialog ----

  // The results belong to the text of the run, byte for byte.
  void resultsFollowTheEditorText() {
    tavo::gui::OptimiseCommand(nullptr, kOptimal);
    messages_.clear();
    std::string changed = kOptimal;
    changed[changed.find('4')] = '5';
    for (const std::string& text : {changed, kOptimal + " ", kOptimal.substr(0, kOptimal.size() - 1)}) {
      tavo::gui::ResultsCommand(nullptr, text);
      QCOMPARE(messages_.size(), std::size_t{1});
      QCOMPARE(messages_[0].text, J("最適化計算を実行しておりません！"));
      messages_.clear();
    }
    bool seen = false;
    OnNextModal<CResultsDlg>(
        [](CResultsDlg* d) {
          QCOMPARE(d->edit(0)->toPlainText(), Q(tavo::g_lastResult.logText));
          QCOMPARE(d->edit(1)->toPlainText(), Q(tavo::g_lastResult.columnsText));
          QCOMPARE(d->edit(2)->toPlainText(), Q(tavo::g_lastResult.rowsText));
          QCOMPARE(d->edit(3)->toPlainText(), Q(tavo::g_lastResult.errorText));
          // Typing in an edit changes nothing outside the dialog.
          d->edit(0)->setFocus();
          QTest::keyClicks(d->edit(0), QStringLiteral("typed"));
        },
        &seen);
    std::string logBefore = tavo::g_lastResult.logText;
    tavo::gui::ResultsCommand(nullptr, kOptimal);
    QVERIFY(seen);
    QVERIFY(messages_.empty());
    QCOMPARE(tavo::g_lastResult.logText, logBefore);
  }

  void resultsDialogLayout() {
    tavo::CalcResult r;
    r.logText = "a\tb\tc\r\n" + std::string(500, 'L') + "\r\n";
    r.columnsText = "1\tX1\r\n";
    r.rowsText = "R1\tBS\r\n";
    r.errorText = "x\ty\r\n";
    CResultsDlg dlg(nullptr, r);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.windowTitle(), QString::fromUtf8("TAVO計算結果出力"));
    QCOMPARE(dlg.tabBar()->count(), 4);
    const char* tabTexts[] = {"計算経過一覧", "列変数最適化解", "行変数最適化解", "計算誤差情報"};
    for (int i = 0; i < 4; ++i) QCOMPARE(dlg.tabBar()->tabText(i), QString::fromUtf8(tabTexts[i]));

    tavo::gui::DialogUnits du(dlg.font());
    const std::vector<std::vector<int>> units = {
        {30, 58, 85, 108, 130, 166, 216, 264}, {28, 92, 113, 168}, {92, 147, 202}, {140}};
    for (int tab = 0; tab < 4; ++tab) {
      QPlainTextEdit* e = dlg.edit(tab);
      QCOMPARE(e->lineWrapMode(), QPlainTextEdit::NoWrap);
      QCOMPARE(e->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
      QCOMPARE(e->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
      QVERIFY(!e->isReadOnly());
      std::vector<int> expected;
      for (int u : units[tab]) expected.push_back(du.X(u));
      QCOMPARE(dlg.tabStopsPixels(tab), expected);
      // The text after the first tab starts at the first stop (measured from
      // the start of the line, inside the document's margin).
      QTextBlock block = e->document()->firstBlock();
      int afterTab = block.text().indexOf(QLatin1Char('\t')) + 1;
      QTextLine line = block.layout()->lineForTextPosition(afterTab);
      QVERIFY(line.isValid());
      QCOMPARE(qRound(line.cursorToX(afterTab) - line.x()), expected[0]);
    }
    // The long line is one line, reached by the horizontal scroll bar.
    QCOMPARE(dlg.edit(0)->document()->findBlockByNumber(1).layout()->lineCount(), 1);
    QVERIFY(dlg.edit(0)->horizontalScrollBar()->maximum() > 0);

    // Exactly one edit shows, whichever tab was chosen last.
    auto visibleEdits = [&dlg] {
      std::vector<int> v;
      for (int i = 0; i < 4; ++i)
        if (dlg.edit(i)->isVisible()) v.push_back(i);
      return v;
    };
    QCOMPARE(visibleEdits(), std::vector<int>{0});
    for (int tab : {2, 1, 3, 0, 3}) {
      QTest::mouseClick(dlg.tabBar(), Qt::LeftButton, {}, dlg.tabBar()->tabRect(tab).center());
      QCOMPARE(visibleEdits(), std::vector<int>{tab});
    }
  }

  // ---- The settings dialog ----

  void settingsShowsTheProfile() {
    CSettingsDlg dlg(nullptr);
    QCOMPARE(dlg.windowTitle(), QString::fromUtf8("TAVO初期値設定"));
    QCOMPARE(dlg.pmcmpBox()->count(), 10);
    QVERIFY(dlg.pmcmpBox()->isEditable());
    QCOMPARE(dlg.pmcmpBox()->currentText(), QStringLiteral("0"));
    QCOMPARE(dlg.checkBox(CSettingsDlg::kIcode)->isChecked(), true);
    QCOMPARE(dlg.checkBox(CSettingsDlg::kRound)->isChecked(), true);
    QCOMPARE(dlg.checkBox(CSettingsDlg::kSensitivity)->isChecked(), false);
    QStringList texts;
    for (int i = 0; i < CSettingsDlg::kEditCount; ++i) texts << dlg.edit(CSettingsDlg::EditField(i))->text();
    QCOMPARE(texts, QStringList({"200", "90000", "5e-13", "5e-12", "-5e-11", "90000"}));
    QVERIFY(ReadProfile().isEmpty());  // opening writes nothing
  }

  // OK writes all ten keys (tolerances in the ten-digit form) and keeps the
  // other sections; cancel writes nothing.
  void settingsOkAndCancel() {
    const QByteArray before = "[Window size]\nRect=0010 0010 0800 0600\nicon=0\nmax=1\n\n[Init]\nNOINVERT=50\n";
    WriteProfile(before);
    {
      CSettingsDlg dlg(nullptr);
      QCOMPARE(dlg.edit(CSettingsDlg::kNoinvert)->text(), QStringLiteral("50"));
      dlg.edit(CSettingsDlg::kMaxiterate)->setText(QStringLiteral("7"));
      dlg.reject();
    }
    QCOMPARE(ReadProfile(), before);

    CSettingsDlg dlg(nullptr);
    dlg.checkBox(CSettingsDlg::kSensitivity)->setChecked(true);
    dlg.edit(CSettingsDlg::kMaxiterate)->setText(QStringLiteral("-3"));
    dlg.edit(CSettingsDlg::kBbLength)->setText(QStringLiteral(" 0 "));
    dlg.pmcmpBox()->setCurrentIndex(7);
    dlg.accept();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(messages_.empty());

    tavo::Profile p;
    p.Load(ProfilePath());
    const std::pair<const char*, const char*> keys[] = {
        {"PMCMP", "7"},       {"ICODE", "1"},     {"ROUND", "1"},      {"SENSITIVITY", "1"}, {"NOINVERT", "50"},
        {"MAXITERATE", "-3"}, {"BB_LENGTH", "0"}, {"ETOL", "5.e-013"}, {"ZTOL", "5.e-012"},  {"CTOL", "-5.e-011"},
    };
    for (const auto& [key, value] : keys) QCOMPARE(p.Get("Init", key).value_or("(missing)"), std::string(value));
    QCOMPARE(p.Get("Window size", "Rect").value_or(""), std::string("0010 0010 0800 0600"));
    QCOMPARE(p.Get("Window size", "max").value_or(""), std::string("1"));
    QCOMPARE(tavo::gui::g_settings.MAXITERATE, -3);
    // The ten-digit texts read back to the same values.
    tavo::SolverSettings s = tavo::LoadSettings(ProfilePath());
    QCOMPARE(s.ETOL, 5.0e-13);
    QCOMPARE(s.CTOL, -5.0e-11);
  }

  // A profile that cannot be written is reported, and the dialog stays open.
  void settingsSaveFailure() {
    QString blocker = config_->path() + QStringLiteral("/not-a-folder");
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    qputenv("XDG_CONFIG_HOME", blocker.toUtf8());
    CSettingsDlg dlg(nullptr);
    dlg.show();
    dlg.accept();
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text, J("初期値設定を保存できませんでした。"));
    QVERIFY(dlg.isVisible());
  }

  void settingsComboText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("a listed entry") << "3"
                                    << "3";
    QTest::newRow("beyond the list") << "15"
                                     << "15";
    QTest::newRow("not a number") << "abc"
                                  << "0";
    QTest::newRow("leading digits") << "12ab"
                                    << "12";
    QTest::newRow("negative") << "-4"
                              << "-4";
  }

  void settingsComboText() {
    QFETCH(QString, text);
    QFETCH(QString, stored);
    CSettingsDlg dlg(nullptr);
    dlg.pmcmpBox()->setEditText(text);
    dlg.accept();
    tavo::Profile p;
    p.Load(ProfilePath());
    QCOMPARE(QString::fromStdString(p.Get("Init", "PMCMP").value_or("")), stored);
  }

  void settingsRejectsBadNumbers_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("whole");
    QTest::newRow("interval with letters") << int(CSettingsDlg::kNoinvert) << "20x" << true;
    QTest::newRow("limit empty") << int(CSettingsDlg::kMaxiterate) << "" << true;
    QTest::newRow("limit with a fraction") << int(CSettingsDlg::kMaxiterate) << "1.5" << true;
    QTest::newRow("limit beyond 32 bits") << int(CSettingsDlg::kMaxiterate) << "3000000000" << true;
    QTest::newRow("tolerance not a number") << int(CSettingsDlg::kEtol) << "small" << false;
    QTest::newRow("tolerance with trailing text") << int(CSettingsDlg::kZtol) << "1e-9 x" << false;
    QTest::newRow("tolerance infinite") << int(CSettingsDlg::kCtol) << "1e999" << false;
    QTest::newRow("tolerance nan") << int(CSettingsDlg::kCtol) << "nan" << false;
    QTest::newRow("branch limit full-width digits") << int(CSettingsDlg::kBbLength) << "９０" << true;
  }

  // A field that is not a number stops OK with a message and takes the focus;
  // nothing is written.
  void settingsRejectsBadNumbers() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(bool, whole);
    CSettingsDlg dlg(nullptr);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    // A field checked earlier is also bad: the first one in order reports.
    QLineEdit* edit = dlg.edit(CSettingsDlg::EditField(field));
    edit->setText(text);
    if (field < CSettingsDlg::kBbLength) dlg.edit(CSettingsDlg::kBbLength)->setText(QStringLiteral("zz"));
    dlg.pmcmpBox()->setFocus();
    dlg.accept();
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text, whole ? J("整数を入力してください。") : J("数値を入力してください。"));
    QVERIFY(dlg.isVisible());
    QVERIFY(edit->hasFocus());
    QVERIFY(ReadProfile().isEmpty());
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
