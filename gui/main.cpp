// tavo-gui: the desktop program. Start-up as the original's: a file named on
// the command line is opened as the document (a file that cannot be opened
// is reported and the program ends), otherwise an empty document.
#include <QApplication>
#include <QIcon>

#include "gui/main_frame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TAVO"));
  QApplication::setOrganizationName(QStringLiteral("Marvolen"));
  QApplication::setDesktopFileName(QStringLiteral("tavo"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavo.png")));
  auto frame = tavo::gui::StartUp(QApplication::arguments().mid(1));
  if (!frame) return 1;
  return QApplication::exec();
}
