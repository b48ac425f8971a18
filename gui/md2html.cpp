// Build tool: the user manual's Markdown as a stand-alone HTML page, by Qt's
// own Markdown reader (so the build needs nothing beyond Qt).
//   tavo_md2html manual.md manual.html
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextDocument>

int main(int argc, char** argv) {
  if (argc != 3) return 64;
  // No display is needed: fonts and layout only.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) return 66;
  QTextDocument doc;
  doc.setMarkdown(QString::fromUtf8(in.readAll()));
  QString html = doc.toHtml();
  // A title and readable widths for a browser; Qt's own markup stays as it is.
  html.remove(QRegularExpression(QStringLiteral("<title>[^<]*</title>")));
  html.replace(QStringLiteral("<head>"), QStringLiteral("<head><title>TAVO user's manual</title>"));
  html.replace(QStringLiteral("</head>"),
               QStringLiteral("<style>body { max-width: 56em; margin: 1em auto; padding: 0 1em; "
                              "font-family: 'IPAPGothic', 'IPAGothic', sans-serif; line-height: 1.5 } "
                              "p, li { white-space: normal } pre { background: #f4f4f4; padding: 0.5em } "
                              "table { border-collapse: collapse } td, th { border: 1px solid #bbb; padding: 2px 6px }"
                              "</style></head>"));
  if (!html.contains(QStringLiteral("charset"))) {
    html.replace(QStringLiteral("<head>"), QStringLiteral("<head><meta charset=\"utf-8\">"));
  }
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 73;
  out.write(html.toUtf8());
  return out.error() == QFile::NoError ? 0 : 73;
}
