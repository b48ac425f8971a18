#include "shell/print_layout.h"

#include "shell/codec.h"
#include "shell/texts.h"

namespace tavo {

int g_printInput = 1;
int g_printLog = 0;
int g_printColumns = 1;
int g_printRows = 1;

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsFieldSeparator(char c) { return c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ' '; }

}  // namespace

std::string PrintStatusMessage(PrintStatus status, int* iconStyle) {
  int icon = 0;
  std::string text;
  switch (status) {
    case PrintStatus::kPrinted:
      break;
    case PrintStatus::kNoInput:
      text = T().printNoInputData;
      icon = 0x10;
      break;
    case PrintStatus::kNotRun:
      text = T().printNotOptimised;
      icon = 0x10;
      break;
    case PrintStatus::kStartFailed:
      text = T().printFailed;
      break;
  }
  if (iconStyle) *iconStyle = icon;
  return text;
}

PrintStatus CheckPrintJob(const PrintJob& job) {
  if (job.input && job.modelText.empty()) return PrintStatus::kNoInput;
  if ((job.log || job.columns || job.rows) && job.result.logText.empty()) return PrintStatus::kNotRun;
  return PrintStatus::kPrinted;
}

std::string PrintPageHeaderText(const std::string& dateTime, int page) {
  return T().printHeaderBanner + dateTime + T().printHeaderPage + std::to_string(page);
}

std::string ExpandPrintTabs(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == '\t') {
      out.append(kPrintTabStop - out.size() % kPrintTabStop, ' ');
    } else {
      out += c;
    }
  }
  return out;
}

std::size_t PrintWrapCut(std::string_view line) {
  if (line.size() <= kPrintWrapBytes) return line.size();
  // Walk the characters from the start: a trail byte can look like a lead byte.
  std::size_t i = 0;
  while (i < kPrintWrapBytes) {
    const std::size_t width = IsCp932LeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size() ? 2 : 1;
    if (i + width > kPrintWrapBytes) break;
    i += width;
  }
  return i;
}

std::string PrintLayout::ReadNextLine(std::string_view text) {
  while (readPos_ < text.size() && IsLineEnd(text[readPos_])) ++readPos_;
  const std::size_t start = readPos_;
  while (readPos_ < text.size() && !IsLineEnd(text[readPos_])) ++readPos_;
  return std::string(text.substr(start, readPos_ - start));
}

std::string PrintLayout::NextToken(std::string_view line) {
  while (fieldPos_ < line.size() && IsFieldSeparator(line[fieldPos_])) ++fieldPos_;
  const std::size_t start = fieldPos_;
  while (fieldPos_ < line.size() && !IsFieldSeparator(line[fieldPos_])) ++fieldPos_;
  return std::string(line.substr(start, fieldPos_ - start));
}

void PrintLayout::PrintField(const std::string& text, int width) {
  // Lines of a skipped page move the position as printed ones do, so that a
  // partial print gives the same pages as a full one.
  if (pageOpen_ && !text.empty()) device_.Text(x_, y_, text);
  x_ += width;
}

void PrintLayout::NewLine() {
  x_ = kPrintBodyX;
  y_ -= job_.lineHeight;
}

void PrintLayout::PrintLine(const std::string& text) {
  if (pageOpen_ && !text.empty()) device_.Text(x_, y_, text);
  NewLine();
}

bool PrintLayout::PrintPageHeader(int page) {
  x_ = kPrintHeaderX;
  y_ = 0;
  pageOpen_ = job_.from <= page && page <= job_.to;
  if (pageOpen_) {
    device_.BeginPage(page);
    ++pagesPrinted_;
  }
  // A skipped page keeps the header's line, so its body starts where a
  // printed page's does.
  PrintLine(PrintPageHeaderText(job_.dateTime, page));
  NewLine();
  NewLine();
  return pageOpen_;
}

void PrintLayout::PageBreak() {
  if (pageOpen_) device_.EndPage();
  pageOpen_ = PrintPageHeader(page_);
  ++page_;
}

void PrintLayout::PrintInputSection() {
  const std::string& text = job_.modelText;
  readPos_ = 0;
  int lineNumber = 1;
  while (readPos_ < text.size()) {
    // The break test runs only before a source line: a wrapped line is
    // finished on the page it starts on.
    if (y_ < kPrintLowestLine || lineCount_ > kPrintLinesPerPage) {
      PageBreak();
      lineCount_ = 1;
    }
    std::string line = ExpandPrintTabs(ReadNextLine(text));
    if (!line.empty()) {
      PrintField(std::to_string(lineNumber), kPrintLineNumberWidth);
      std::string_view rest = line;
      while (rest.size() > kPrintWrapBytes) {
        const std::size_t cut = PrintWrapCut(rest);
        PrintLine(std::string(rest.substr(0, cut)));
        ++lineCount_;
        PrintField(std::string(), kPrintLineNumberWidth);  // continuations stand under the text
        rest.remove_prefix(cut);
      }
      if (!rest.empty()) PrintLine(std::string(rest));
    }
    ++lineNumber;
    ++lineCount_;
  }
}

void PrintLayout::PrintLogSection() {
  const std::string& log = job_.result.logText;
  readPos_ = 0;
  while (readPos_ < log.size()) {
    if (y_ <= kPrintLowestLine || lineCount_ >= kPrintLinesPerPage) {
      PageBreak();
      lineCount_ = 0;
    }
    const std::string line = ReadNextLine(log);
    if (!line.empty()) PrintLine(line);
    ++lineCount_;
  }

  // The error information: the first two fields of each line.
  const std::string& errors = job_.result.errorText;
  readPos_ = 0;
  NewLine();
  while (readPos_ < errors.size()) {
    if (y_ <= kPrintLowestLine || lineCount_ >= kPrintLinesPerPage) {
      PageBreak();
      lineCount_ = 0;
    }
    const std::string line = ReadNextLine(errors);
    if (!line.empty()) {
      fieldPos_ = 0;
      for (int width : kPrintErrorWidths) {
        const std::string field = NextToken(line);
        if (!field.empty()) PrintField(field, width);
      }
      NewLine();
    }
    ++lineCount_;
  }
}

void PrintLayout::PrintReportSection(const std::string& text, const int* widths, int count) {
  readPos_ = 0;
  while (readPos_ < text.size()) {
    if (y_ <= kPrintLowestLine || lineCount_ >= kPrintLinesPerPage) {
      PageBreak();
      lineCount_ = 0;
    }
    const std::string line = ReadNextLine(text);
    fieldPos_ = 0;
    if (!line.empty()) {
      for (int i = 0; i < count; ++i) PrintField(NextToken(line), widths[i]);
    }
    NewLine();
    ++lineCount_;
  }
}

PrintStatus PrintLayout::Run() {
  const PrintStatus check = CheckPrintJob(job_);
  if (check != PrintStatus::kPrinted) return check;
  if (!device_.BeginDocument("TAVO")) return PrintStatus::kStartFailed;
  lineCount_ = 200;
  page_ = 1;
  pageOpen_ = false;
  pagesPrinted_ = 0;
  if (job_.input) PrintInputSection();
  if (job_.log) PrintLogSection();
  if (job_.columns) PrintReportSection(job_.result.columnsText, kPrintColumnsWidths, 5);
  if (job_.rows) PrintReportSection(job_.result.rowsText, kPrintRowsWidths, 4);
  if (pageOpen_) device_.EndPage();
  pageOpen_ = false;
  device_.EndDocument();
  return PrintStatus::kPrinted;
}

}  // namespace tavo
