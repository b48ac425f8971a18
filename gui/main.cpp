// tavo-gui: the desktop program. Start-up as the original's: a file named on
// the command line is opened as the document (a file that cannot be opened
// is reported and the program ends), otherwise an empty document.
//
// tavo-gui --print-pdf OUT.pdf MODEL [...] writes the printed pages of MODEL
// as a PDF without opening a window (see gui/print_command.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QIcon>

#include "gui/main_frame.h"
#include "gui/print_command.h"

namespace {

// The PDF command's standard error holds its one-line reason only: the
// toolkit's own notes (a missing runtime folder, font hints) are dropped.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
  const bool printPdf = argc > 1 && std::strcmp(argv[1], "--print-pdf") == 0;
  if (printPdf) {
    // The PDF command needs no display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietMessages);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TAVO"));
  QApplication::setOrganizationName(QStringLiteral("Marvolen"));
  QApplication::setDesktopFileName(QStringLiteral("tavo"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavo.png")));
  if (printPdf) return tavo::gui::PrintPdfMain(QApplication::arguments().mid(1));
  auto frame = tavo::gui::StartUp(QApplication::arguments().mid(1));
  if (!frame) return 1;
  return QApplication::exec();
}
