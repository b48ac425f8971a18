#include "gui/help_viewer.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tavo::gui {

QString ManualMarkdown() {
  QFile f(QStringLiteral(":/docs/manual.md"));
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll());
}

QString InstalledManualPage() {
  const QString app = QCoreApplication::applicationDirPath();
  const QStringList candidates = {
      app + QStringLiteral("/../share/tavo/manual/manual.html"), QStringLiteral(TAVO_INSTALL_DOCDIR "/manual.html"),
      QStringLiteral(TAVO_BUILD_MANUAL),  // the build folder's copy
  };
  for (const QString& c : candidates) {
    if (QFileInfo::exists(c)) return QFileInfo(c).canonicalFilePath();
  }
  return QString();
}

void ShowManual(QWidget* parent) {
  static QPointer<QDialog> window;
  if (!window) {
    window = new QDialog(parent, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("manualWindow"));
    window->setWindowTitle(QStringLiteral("TAVO ヘルプ"));
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("manualBrowser"));
    browser->setOpenExternalLinks(true);
    // Pictures come from beside the installed (or built) HTML page.
    QStringList paths = {QStringLiteral(":/docs")};
    if (const QString page = InstalledManualPage(); !page.isEmpty()) paths << QFileInfo(page).absolutePath();
    browser->setSearchPaths(paths);
    browser->setMarkdown(ManualMarkdown());
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window->resize(760, 640);
  }
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace tavo::gui
