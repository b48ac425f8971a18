#include "gui/print_command.h"

#include <locale.h>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "gui/message_box.h"
#include "gui/print_device.h"
#include "gui/print_select_dlg.h"
#include "shell/codec.h"
#include "shell/locale_time.h"
#include "shell/optimise.h"
#include "shell/settings.h"

namespace tavo::gui {
namespace {

std::function<bool(QPrinter&)> g_printDialogHook;

// Runs the selection dialog; false when cancelled.
bool AskSelection(QWidget* parent) {
  CPrintSelectDlg dlg(parent);
  dlg.m_input = tavo::g_printInput;
  dlg.m_log = tavo::g_printLog;
  dlg.m_columns = tavo::g_printColumns;
  dlg.m_rows = tavo::g_printRows;
  if (dlg.exec() != QDialog::Accepted) return false;
  tavo::g_printInput = dlg.m_input;
  tavo::g_printLog = dlg.m_log;
  tavo::g_printColumns = dlg.m_columns;
  tavo::g_printRows = dlg.m_rows;
  return true;
}

// Shows the message of a status that stopped a job; true when there was one.
bool ReportStatus(QWidget* parent, tavo::PrintStatus status) {
  int icon = 0;
  const std::string message = tavo::PrintStatusMessage(status, &icon);
  if (message.empty()) return false;
  ShowMessageBox(parent, message, static_cast<tavo::IconStyle>(icon));
  return true;
}

// A run's port for the headless command: no window, messages dropped (the
// log holds the outcome).
class QuietPort : public tavo::RunPort {
 public:
  void SetField(tavo::ProgressField, const std::string&) override {}
  void PumpOneMessage() override {}
  void ShowMessage(const std::string&, tavo::IconStyle) override {}
  tavo::TimePoint Now() override { return tavo::Clock::now(); }
  std::string FormatDateTime(tavo::TimePoint) override { return PrintDateTime(); }
};

int Fail(const std::string& reason) {
  std::fprintf(stderr, "tavo-gui: %s\n", reason.c_str());
  return 2;
}

bool ParsePage(const QString& text, int& page) {
  bool ok = false;
  page = text.toInt(&ok);
  return ok && page >= tavo::kPrintFirstPage && page <= tavo::kPrintLastPage;
}

}  // namespace

QPrinter& AppPrinter() {
  // Never destroyed: the printer plug-ins are gone by the time statics are.
  static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
  return *printer;
}

std::string PrintDateTime() {
  static const tavo::LocaleClock clock;
  return clock.DateAndTime(tavo::Clock::now());
}

tavo::PrintJob SelectedPrintJob(const std::string& modelTextCp932) {
  tavo::PrintJob job;
  job.input = tavo::g_printInput != 0;
  job.log = tavo::g_printLog != 0;
  job.columns = tavo::g_printColumns != 0;
  job.rows = tavo::g_printRows != 0;
  job.modelText = modelTextCp932;
  job.result = tavo::g_lastResult;
  return job;
}

tavo::PrintStatus PrintOn(QPrinter& printer, tavo::PrintJob job) {
  CPrinterDevice device(printer);
  job.lineHeight = device.LineHeightTwips();
  job.dateTime = PrintDateTime();
  tavo::PrintLayout layout(job, device);
  return layout.Run();
}

void SetPrintDialogHookForTests(std::function<bool(QPrinter&)> hook) { g_printDialogHook = std::move(hook); }

void PrintSelected(QWidget* parent, const std::string& modelTextCp932) {
  tavo::PrintJob job = SelectedPrintJob(modelTextCp932);
  if (ReportStatus(parent, tavo::CheckPrintJob(job))) return;

  QPrinter& printer = AppPrinter();
  printer.setPrintRange(QPrinter::AllPages);
  printer.setFromTo(tavo::kPrintFirstPage, tavo::kPrintLastPage);
  bool accepted = false;
  if (g_printDialogHook) {
    accepted = g_printDialogHook(printer);
  } else {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(tavo::kPrintFirstPage, tavo::kPrintLastPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    accepted = dialog.exec() == QDialog::Accepted;
  }
  // Without a printer to print on the job cannot start: the failure message.
  if (!accepted) {
    ReportStatus(parent, tavo::PrintStatus::kStartFailed);
    return;
  }
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    job.from = printer.fromPage();
    job.to = printer.toPage() > 0 ? printer.toPage() : tavo::kPrintLastPage;
  }
  if (printer.outputFormat() == QPrinter::PdfFormat) SetPdfPageLayout(printer);
  ReportStatus(parent, PrintOn(printer, std::move(job)));
}

void PrintCommand(QWidget* parent, const std::string& modelTextCp932) {
  if (!AskSelection(parent)) return;
  PrintSelected(parent, modelTextCp932);
}

void PrintPreviewCommand(QWidget* parent, const std::string& modelTextCp932) {
  if (!AskSelection(parent)) return;
  const tavo::PrintJob job = SelectedPrintJob(modelTextCp932);
  if (ReportStatus(parent, tavo::CheckPrintJob(job))) return;
  QPrinter& printer = AppPrinter();
  printer.setPrintRange(QPrinter::AllPages);
  if (printer.outputFormat() == QPrinter::PdfFormat) SetPdfPageLayout(printer);
  QPrintPreviewDialog preview(&printer, parent);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&job](QPrinter* target) { PrintOn(*target, job); });
  preview.exec();
}

void PrintSetupCommand(QWidget* parent) {
  QPageSetupDialog dialog(&AppPrinter(), parent);
  dialog.exec();
}

int PrintPdfMain(const QStringList& arguments) {
  // arguments: --print-pdf OUT MODEL [options]
  if (arguments.size() < 3 || arguments[0] != QLatin1String("--print-pdf"))
    return Fail("usage: tavo-gui --print-pdf OUT.pdf MODEL [--sections input,log,columns,rows] [--from N --to M]");
  const QString out = arguments[1];
  const QString model = arguments[2];
  tavo::PrintJob job;
  job.input = job.log = job.columns = job.rows = true;
  for (int i = 3; i < arguments.size(); ++i) {
    const QString& option = arguments[i];
    if (i + 1 >= arguments.size()) return Fail("option " + option.toStdString() + " needs a value");
    const QString value = arguments[++i];
    if (option == QLatin1String("--sections")) {
      job.input = job.log = job.columns = job.rows = false;
      for (const QString& name : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (name == QLatin1String("input")) {
          job.input = true;
        } else if (name == QLatin1String("log")) {
          job.log = true;
        } else if (name == QLatin1String("columns")) {
          job.columns = true;
        } else if (name == QLatin1String("rows")) {
          job.rows = true;
        } else {
          return Fail("unknown section '" + name.toStdString() + "' (input, log, columns, rows)");
        }
      }
    } else if (option == QLatin1String("--from")) {
      if (!ParsePage(value, job.from)) return Fail("--from needs a page number from 1 to 65535");
    } else if (option == QLatin1String("--to")) {
      if (!ParsePage(value, job.to)) return Fail("--to needs a page number from 1 to 65535");
    } else {
      return Fail("unknown option " + option.toStdString());
    }
  }
  if (job.from > job.to) return Fail("--from is after --to");

  std::ifstream in(QFile::encodeName(model).toStdString(), std::ios::binary);
  if (!in) return Fail("cannot read " + model.toStdString());
  job.modelText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return Fail("cannot read " + model.toStdString());

  // Solve as the optimise command would (only when a result is printed).
  if (!job.modelText.empty() && (job.log || job.columns || job.rows)) {
    QuietPort port;
    tavo::RunOptimiseCommand(job.modelText, tavo::LoadSettings(tavo::DefaultProfilePath()), port);
    job.result = tavo::g_lastResult;
  }
  const tavo::PrintStatus check = tavo::CheckPrintJob(job);
  if (check == tavo::PrintStatus::kNoInput) return Fail("no input data: " + model.toStdString() + " is empty");
  if (check == tavo::PrintStatus::kNotRun) return Fail("the model was not solved: no log to print");

  // The pages go to a file beside OUT first, so that a failure never leaves a half-written OUT.
  const QString part = out + QStringLiteral(".part");
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part);
    SetPdfPageLayout(printer);
    printer.setCreator(QStringLiteral("TAVO"));
    if (PrintOn(printer, std::move(job)) != tavo::PrintStatus::kPrinted) {
      QFile::remove(part);
      return Fail("cannot write " + out.toStdString());
    }
  }
  if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(out).constData()) != 0) {
    QFile::remove(part);
    return Fail("cannot write " + out.toStdString());
  }
  return 0;
}

}  // namespace tavo::gui
