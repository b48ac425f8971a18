// The print layout's device on a QPrinter: a printer chosen in the print
// dialog, a PDF file, or the pages of the print preview.
#pragma once

#include <string>

#include <QFont>
#include <QPainter>

#include "shell/print_layout.h"

class QPrinter;

namespace tavo::gui {

// The print font: a fixed-pitch face with the Japanese glyphs whose
// half-width characters are half an em wide ("Courier New" when the installed
// one has the Japanese glyphs, otherwise IPAGothic or another such face),
// 12 point.
QFont PrintFont();

// PDF pages: A4 portrait with narrow margins (3 mm at the sides, 5 mm at top
// and bottom), so that the header line and the lowest line fit on the paper.
void SetPdfPageLayout(QPrinter& printer);

class CPrinterDevice : public tavo::PrintDevice {
 public:
  explicit CPrinterDevice(QPrinter& printer);
  ~CPrinterDevice() override;

  // The font's cell height plus its external leading on this printer, in twips.
  int LineHeightTwips() const;

  bool BeginDocument(const std::string& name) override;
  void BeginPage(int page) override;
  void Text(int xTwips, int yTwips, const std::string& cp932) override;
  void EndPage() override;
  void EndDocument() override;

 private:
  QPrinter& printer_;
  QPainter painter_;
  QFont font_;
  double dotsPerTwip_ = 1.0;
  double ascent_ = 0.0;
  bool pageStarted_ = false;  // a page has been started in this document
};

}  // namespace tavo::gui
