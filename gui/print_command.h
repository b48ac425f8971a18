// The print, print preview and print set-up commands, and the headless PDF
// command (tavo-gui --print-pdf).
#pragma once

#include <functional>
#include <string>

#include <QStringList>

#include "shell/print_layout.h"

class QPrinter;
class QWidget;

namespace tavo::gui {

// The program's printer: its choice and page set-up last while the program runs.
QPrinter& AppPrinter();

// The locale's date and time (date, then time of day) in code page 932.
std::string PrintDateTime();

// The print command: the selection dialog (its choice kept in g_printInput,
// g_printLog, g_printColumns, g_printRows), then PrintSelected.
void PrintCommand(QWidget* parent, const std::string& modelTextCp932);

// Prints the selected documents: the messages for a missing text or run, the
// print dialog (page range preset 1 to 65535), then the pages on the printer
// or PDF file chosen there. The job keeps its own copy of the text.
void PrintSelected(QWidget* parent, const std::string& modelTextCp932);

// The print preview: the selection dialog, the same checks, then the pages in
// a preview window from which they can be printed.
void PrintPreviewCommand(QWidget* parent, const std::string& modelTextCp932);

// The print set-up command: the page set-up of the program's printer.
void PrintSetupCommand(QWidget* parent);

// The job of the current selection, with the last run's texts.
tavo::PrintJob SelectedPrintJob(const std::string& modelTextCp932);

// Lays out `job` on `printer` (its line height and date filled in).
tavo::PrintStatus PrintOn(QPrinter& printer, tavo::PrintJob job);

// Tests replace the print dialog: it receives the printer and returns whether
// to print (false as when the user cancels).
void SetPrintDialogHookForTests(std::function<bool(QPrinter&)> hook);

// tavo-gui --print-pdf OUT.pdf MODEL [--sections input,log,columns,rows]
// [--from N --to M]: solves MODEL with the profile's settings and writes the
// pages as a PDF. `arguments` start after the program name. Returns the exit
// status (0 written; otherwise a one-line reason on standard error).
int PrintPdfMain(const QStringList& arguments);

}  // namespace tavo::gui
