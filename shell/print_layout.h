// Report printing without a device: the page layout of the print command.
// The layout places code page 932 text at positions in twips (1/1440 inch) on
// numbered pages and hands it to a PrintDevice: the desktop's printer and PDF
// writer, and the tests' recording device, implement it.
//
// Coordinates: x grows to the right from the left edge of the printable area,
// y is 0 at the top of the printable area and grows negative downwards. A text
// is placed with the top-left corner of its character cell at (x, y).
#pragma once

#include <string>
#include <string_view>

#include "shell/calc_result.h"

namespace tavo {

// The print selection: which of the four documents a print job holds. Kept
// for as long as the program runs (never in the profile).
extern int g_printInput;    // the model text (input data file); initially 1
extern int g_printLog;      // the calculation log with the error information; initially 0
extern int g_printColumns;  // the COLUMNS solution report; initially 1
extern int g_printRows;     // the ROWS solution report; initially 1

// The receiving end of a print job.
class PrintDevice {
 public:
  virtual ~PrintDevice() = default;
  // Starts the print document; false when it cannot be started.
  virtual bool BeginDocument(const std::string& name) = 0;
  // Starts page `page` (the layout's page number, 1-based; pages outside the
  // chosen range are never started, so the numbers may begin above 1).
  virtual void BeginPage(int page) = 0;
  // Draws `cp932` (never empty) with the top-left of its cell at (x, y).
  virtual void Text(int xTwips, int yTwips, const std::string& cp932) = 0;
  virtual void EndPage() = 0;
  virtual void EndDocument() = 0;
};

// Layout constants, in twips unless said otherwise.
constexpr int kPrintHeaderX = 480;
constexpr int kPrintBodyX = 720;
constexpr int kPrintLowestLine = -16000;
constexpr int kPrintLinesPerPage = 60;
constexpr int kPrintLineNumberWidth = 600;
constexpr std::size_t kPrintWrapBytes = 80;
constexpr int kPrintTabStop = 8;  // columns
constexpr int kPrintErrorWidths[2] = {4400, 4400};
constexpr int kPrintColumnsWidths[5] = {820, 1520, 800, 2400, 2400};
constexpr int kPrintRowsWidths[4] = {2300, 2400, 2400, 2400};
// The page range that means every page.
constexpr int kPrintFirstPage = 1;
constexpr int kPrintLastPage = 65535;

// What one print job prints. The job holds its own copies of the texts: a
// print never touches the last run's outcome or the text it belongs to.
struct PrintJob {
  bool input = false, log = false, columns = false, rows = false;
  std::string modelText;  // the editor's text (code page 932)
  CalcResult result;      // the last run's texts
  int lineHeight = 240;   // the font's cell height plus external leading, in twips
  int from = kPrintFirstPage, to = kPrintLastPage;
  std::string dateTime;  // the locale's date and time for the page headers (code page 932)
};

// How a print job ended.
enum class PrintStatus {
  kPrinted,     // the document was started and ended
  kNoInput,     // the input data is selected and the model text is empty
  kNotRun,      // a result section is selected and there is no log of a run
  kStartFailed  // the device could not start the document
};

// The message of a status that stops the job (code page 932) and its icon
// style value (0x10 stop, 0 none); empty for kPrinted.
std::string PrintStatusMessage(PrintStatus status, int* iconStyle);

// The checks before any output (no input data, no run).
PrintStatus CheckPrintJob(const PrintJob& job);

// The header line of page `page`.
std::string PrintPageHeaderText(const std::string& dateTime, int page);

// The page layout of one job, with its operations.
class PrintLayout {
 public:
  PrintLayout(const PrintJob& job, PrintDevice& device) : job_(job), device_(device) {}

  // Checks the job, then lays out the selected sections in the fixed order
  // input data, log with error information, COLUMNS, ROWS, each continuing on
  // the current page.
  PrintStatus Run();

  // Pages laid out (printed or skipped) and pages sent to the device.
  int PagesLaidOut() const { return page_ - 1; }
  int PagesPrinted() const { return pagesPrinted_; }

  // The line operations, public for the tests.
  // Skips a run of CR and LF at the read position, then returns the bytes up
  // to the next CR or LF or the end (the read position stays on the line end).
  std::string ReadNextLine(std::string_view text);
  // Skips tabs, CR, LF, commas and blanks at the field position, then returns
  // the bytes up to the next of them (empty at the end of the line).
  std::string NextToken(std::string_view line);
  void PrintField(const std::string& text, int width);
  void NewLine();
  void PrintLine(const std::string& text);
  bool PrintPageHeader(int page);

  int x() const { return x_; }
  int y() const { return y_; }
  void ResetReadPosition() { readPos_ = 0; }
  void ResetFieldPosition() { fieldPos_ = 0; }

 private:
  void PageBreak();
  void PrintInputSection();
  void PrintLogSection();
  void PrintReportSection(const std::string& text, const int* widths, int count);

  const PrintJob& job_;
  PrintDevice& device_;
  int x_ = kPrintBodyX;
  int y_ = 0;
  std::size_t readPos_ = 0;
  std::size_t fieldPos_ = 0;
  int page_ = 1;
  int lineCount_ = 200;
  bool pageOpen_ = false;
  int pagesPrinted_ = 0;
};

// Tabs expanded to blanks with a stop every 8 columns.
std::string ExpandPrintTabs(std::string_view line);

// Where a long model line is cut: 80 bytes, or 79 when a double-byte
// character would straddle the cut.
std::size_t PrintWrapCut(std::string_view line);

}  // namespace tavo
