#include "gui/print_device.h"

#include <cmath>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "gui/text_convert.h"

namespace tavo::gui {

QFont PrintFont() {
  const QStringList families = QFontDatabase::families();
  auto usable = [&families](const QString& family) {
    return families.contains(family) && QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese);
  };
  // Courier New alone has no Japanese glyphs and is wider (0.6 em) than a
  // Japanese fixed-pitch face: the header line would not fit the width of A4.
  QString family;
  for (const char* name : {"Courier New", "IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "TakaoGothic",
                           "VL Gothic", "IPAexGothic"}) {
    if (usable(QString::fromUtf8(name))) {
      family = QString::fromUtf8(name);
      break;
    }
  }
  QFont font = family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(family);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(12.0);
  font.setWeight(QFont::Normal);
  font.setKerning(false);
  return font;
}

void SetPdfPageLayout(QPrinter& printer) {
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(3.0, 5.0, 3.0, 5.0),
                                    QPageLayout::Millimeter));
}

CPrinterDevice::CPrinterDevice(QPrinter& printer) : printer_(printer), font_(PrintFont()) {
  dotsPerTwip_ = printer_.resolution() / 1440.0;
  const QFontMetricsF metrics(font_, &printer_);
  ascent_ = metrics.ascent();
}

CPrinterDevice::~CPrinterDevice() {
  if (painter_.isActive()) painter_.end();
}

int CPrinterDevice::LineHeightTwips() const {
  const QFontMetricsF metrics(font_, &printer_);
  const int h = static_cast<int>(std::lround((metrics.height() + metrics.leading()) / dotsPerTwip_));
  return h > 0 ? h : 240;
}

bool CPrinterDevice::BeginDocument(const std::string& name) {
  printer_.setDocName(QString::fromStdString(name));
  if (!painter_.begin(&printer_)) return false;
  painter_.setFont(font_);
  painter_.setPen(Qt::black);
  pageStarted_ = false;
  return true;
}

void CPrinterDevice::BeginPage(int /*page*/) {
  // The painter starts on a fresh first page; later pages are asked for.
  if (pageStarted_) printer_.newPage();
  pageStarted_ = true;
}

void CPrinterDevice::Text(int xTwips, int yTwips, const std::string& cp932) {
  // (x, y) is the top-left of the character cell; Qt draws from the baseline.
  const QPointF at(xTwips * dotsPerTwip_, -yTwips * dotsPerTwip_ + ascent_);
  painter_.drawText(at, ToDisplay(cp932));
}

void CPrinterDevice::EndPage() {}

void CPrinterDevice::EndDocument() {
  if (painter_.isActive()) painter_.end();
}

}  // namespace tavo::gui
