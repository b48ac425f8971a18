// The print layout, checked on the calls it makes to a recording device:
// positions in twips, page breaks, the page range, and the shapes of the four
// sections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/codec.h"
#include "shell/print_layout.h"
#include "shell/texts.h"

namespace tavo {
namespace {

constexpr int kH = 240;  // line height of the tests' font

struct Call {
  enum Kind { kBeginDoc, kBeginPage, kText, kEndPage, kEndDoc } kind;
  int page = 0;
  int x = 0, y = 0;
  std::string text;
};

class RecordingDevice : public PrintDevice {
 public:
  bool BeginDocument(const std::string& name) override {
    calls.push_back({Call::kBeginDoc, 0, 0, 0, name});
    return startOk;
  }
  void BeginPage(int page) override {
    calls.push_back({Call::kBeginPage, page, 0, 0, {}});
    current = page;
  }
  void Text(int x, int y, const std::string& text) override { calls.push_back({Call::kText, current, x, y, text}); }
  void EndPage() override { calls.push_back({Call::kEndPage, current, 0, 0, {}}); }
  void EndDocument() override { calls.push_back({Call::kEndDoc, 0, 0, 0, {}}); }

  // The body texts (headers left out), in order.
  std::vector<Call> Body() const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.kind == Call::kText && c.y != 0) out.push_back(c);
    return out;
  }
  std::vector<int> Pages() const {
    std::vector<int> out;
    for (const Call& c : calls)
      if (c.kind == Call::kBeginPage) out.push_back(c.page);
    return out;
  }

  std::vector<Call> calls;
  bool startOk = true;
  int current = 0;
};

std::string J(const char* utf8) {
  std::string out;
  Utf8ToCp932(utf8, out);
  return out;
}

PrintJob InputJob(const std::string& text) {
  PrintJob job;
  job.input = true;
  job.modelText = text;
  job.lineHeight = kH;
  job.dateTime = "2026/12/07 04:30:16";
  return job;
}

CalcResult SomeResult() {
  CalcResult r;
  r.logText = "LOG 1\r\nLOG 2\r\n";
  r.columnsText = "  1 X1 BS 2. 0.\r\n\r\n  2 X2 NB 0. 1.5\r\n";
  r.rowsText = "R1 4. 0. 1.\r\n";
  r.errorText = "ROW1 1.e-010 extra fields\r\nROW2\r\n";
  return r;
}

std::string Lines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "L" + std::to_string(i) + "\r\n";
  return text;
}

TEST(PrintLayout, NothingSelectedGivesAnEmptyDocument) {
  RecordingDevice device;
  PrintJob job;
  PrintLayout layout(job, device);
  EXPECT_EQ(layout.Run(), PrintStatus::kPrinted);
  ASSERT_EQ(device.calls.size(), 2u);
  EXPECT_EQ(device.calls[0].kind, Call::kBeginDoc);
  EXPECT_EQ(device.calls[0].text, "TAVO");
  EXPECT_EQ(device.calls[1].kind, Call::kEndDoc);
}

TEST(PrintLayout, RefusesWithoutInputOrRunAndWhenTheDeviceFails) {
  struct Case {
    bool input, log, columns, rows;
    std::string text;
    bool ran;
    bool deviceOk;
    PrintStatus want;
  } cases[] = {
      {true, false, false, false, "", true, true, PrintStatus::kNoInput},
      {true, true, false, false, "", false, true, PrintStatus::kNoInput},  // the input check comes first
      {false, true, false, false, "", false, true, PrintStatus::kNotRun},
      {false, false, true, false, "X", false, true, PrintStatus::kNotRun},
      {false, false, false, true, "X", false, true, PrintStatus::kNotRun},
      {false, false, false, true, "", true, true, PrintStatus::kPrinted},  // no input selected: no text needed
      {true, false, false, false, "X", false, true, PrintStatus::kPrinted},
      {true, false, false, false, "X", false, false, PrintStatus::kStartFailed},
  };
  for (const Case& c : cases) {
    PrintJob job;
    job.input = c.input, job.log = c.log, job.columns = c.columns, job.rows = c.rows;
    job.modelText = c.text;
    if (c.ran) job.result = SomeResult();
    RecordingDevice device;
    device.startOk = c.deviceOk;
    EXPECT_EQ(PrintLayout(job, device).Run(), c.want) << c.input << c.log << c.columns << c.rows << c.text;
    if (c.want == PrintStatus::kNoInput || c.want == PrintStatus::kNotRun) {
      EXPECT_TRUE(device.calls.empty());
    }
    if (c.want == PrintStatus::kStartFailed) {
      EXPECT_EQ(device.calls.size(), 1u);
    }
  }
  int icon = -1;
  EXPECT_EQ(PrintStatusMessage(PrintStatus::kNoInput, &icon), J("エラー !  入力データがありません"));
  EXPECT_EQ(icon, 0x10);
  EXPECT_EQ(PrintStatusMessage(PrintStatus::kNotRun, &icon), J("最適化計算を実行しておりません"));
  EXPECT_EQ(icon, 0x10);
  EXPECT_EQ(PrintStatusMessage(PrintStatus::kStartFailed, &icon), J("TAVO 印刷失敗"));
  EXPECT_EQ(icon, 0);
}

TEST(PrintLayout, HeaderAndFirstLinePositions) {
  RecordingDevice device;
  PrintJob job = InputJob("MAX + X1\r\n\r\nST\r\n");
  PrintLayout(job, device).Run();
  ASSERT_GE(device.calls.size(), 3u);
  EXPECT_EQ(device.calls[1].kind, Call::kBeginPage);
  EXPECT_EQ(device.calls[1].page, 1);
  const Call& header = device.calls[2];
  EXPECT_EQ(header.x, 480);
  EXPECT_EQ(header.y, 0);
  EXPECT_EQ(header.text,
            J("目標計画法 TAVO(Tiered aim Optimization)         ") + "2026/12/07 04:30:16" + "      Page    1");
  // The blank middle line is neither printed nor numbered.
  const std::vector<Call> body = device.Body();
  ASSERT_EQ(body.size(), 4u);
  const int y0 = -3 * kH;
  EXPECT_EQ(body[0].text, "1");
  EXPECT_EQ(body[0].x, 720);
  EXPECT_EQ(body[0].y, y0);
  EXPECT_EQ(body[1].text, "MAX + X1");
  EXPECT_EQ(body[1].x, 1320);
  EXPECT_EQ(body[1].y, y0);
  EXPECT_EQ(body[2].text, "2");
  EXPECT_EQ(body[2].y, y0 - kH);
  EXPECT_EQ(body[3].text, "ST");
  EXPECT_EQ(device.calls.back().kind, Call::kEndDoc);
  EXPECT_EQ(device.calls[device.calls.size() - 2].kind, Call::kEndPage);
}

TEST(PrintLayout, LongLinesWrapUnderTheText) {
  std::string line;
  for (int i = 0; i < 170; ++i) line += static_cast<char>('A' + i % 26);
  RecordingDevice device;
  PrintJob job = InputJob(line + "\r\nNEXT\r\n");
  PrintLayout(job, device).Run();
  const std::vector<Call> body = device.Body();
  ASSERT_EQ(body.size(), 6u);
  const int y0 = -3 * kH;
  EXPECT_EQ(body[1].text, line.substr(0, 80));
  EXPECT_EQ(body[2].text, line.substr(80, 80));
  EXPECT_EQ(body[3].text, line.substr(160));
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(body[i].x, 1320);
    EXPECT_EQ(body[i].y, y0 - (i - 1) * kH);
  }
  EXPECT_EQ(body[4].text, "2");
  EXPECT_EQ(body[4].y, y0 - 3 * kH);
}

TEST(PrintLayout, TheCutNeverSplitsADoubleByteCharacter) {
  const std::string kanji = J("漢");
  ASSERT_EQ(kanji.size(), 2u);
  struct Case {
    std::string line;
    std::size_t cut;
  } cases[] = {
      {std::string(79, 'A') + kanji + "B", 79},   // would straddle bytes 80 and 81
      {std::string(78, 'A') + kanji + "BB", 80},  // ends exactly at 80
      {std::string(40, 'A') +
           [&] {
             std::string s;
             for (int i = 0; i < 30; ++i) s += kanji;
             return s;
           }(),
       80},
      {std::string(80, 'A'), 80},
      {std::string(81, 'A'), 80},
  };
  for (const Case& c : cases) EXPECT_EQ(PrintWrapCut(c.line), c.cut) << c.line.size();

  // A line whose 80th byte would be a lead byte: the character goes to the continuation.
  RecordingDevice device;
  const std::string line = std::string(79, 'A') + kanji + "TAIL";
  PrintJob job = InputJob(line);
  PrintLayout(job, device).Run();
  const std::vector<Call> body = device.Body();
  ASSERT_EQ(body.size(), 3u);
  EXPECT_EQ(body[1].text, std::string(79, 'A'));
  EXPECT_EQ(body[2].text, kanji + "TAIL");
  EXPECT_EQ(body[2].x, 1320);
}

TEST(PrintLayout, TabsExpandToStopsOfEight) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"ABC\tX", "ABC     X"}, {"ABCDEFGH\tX", "ABCDEFGH        X"},
      {"\tX", "        X"},    {"A\tB\tC", "A       B       C"},
      {"NO TABS", "NO TABS"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandPrintTabs(c.in), c.out) << c.in;
  RecordingDevice device;
  PrintJob job = InputJob("ABC\tX\r\n");
  PrintLayout(job, device).Run();
  ASSERT_EQ(device.Body().size(), 2u);
  EXPECT_EQ(device.Body()[1].text, "ABC     X");
}

TEST(PrintLayout, InputPagesHoldSixtyLines) {
  RecordingDevice device;
  PrintJob job = InputJob(Lines(130));
  PrintLayout layout(job, device);
  layout.Run();
  EXPECT_EQ(device.Pages(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(layout.PagesLaidOut(), 3);
  std::vector<Call> body = device.Body();
  // Line 60 ends page 1, line 61 starts page 2 at the top.
  for (const Call& c : body) {
    if (c.text == "L60") {
      EXPECT_EQ(c.page, 1);
      EXPECT_EQ(c.y, -3 * kH - 59 * kH);
    }
    if (c.text == "L61") {
      EXPECT_EQ(c.page, 2);
      EXPECT_EQ(c.y, -3 * kH);
    }
  }
}

TEST(PrintLayout, TheLowestLineBreaksThePage) {
  // A tall line height: the position runs out before the line count does.
  RecordingDevice device;
  PrintJob job = InputJob(Lines(40));
  job.lineHeight = 500;
  PrintLayout(job, device).Run();
  int lastOnPage1 = 0;
  for (const Call& c : device.Body())
    if (c.page == 1 && c.text[0] == 'L') {
      lastOnPage1 = std::stoi(c.text.substr(1));
      EXPECT_GE(c.y, -16000);
    }
  // Lines at -1500, -2000, ... -16000 fit (-16000 is not below the limit).
  EXPECT_EQ(lastOnPage1, 30);
}

TEST(PrintLayout, AWrappedLineNearTheBottomIsFinishedOnItsPage) {
  // 58 short lines, then a line of 250 bytes (four printed lines), then one more.
  std::string text = Lines(58) + std::string(250, 'W') + "\r\nLAST\r\n";
  RecordingDevice device;
  PrintJob job = InputJob(text);
  PrintLayout(job, device).Run();
  int wOnPage1 = 0;
  for (const Call& c : device.Body())
    if (c.text[0] == 'W') {
      EXPECT_EQ(c.page, 1);
      ++wOnPage1;
    }
  EXPECT_EQ(wOnPage1, 4);
  // The continuations counted: the next source line starts page 2.
  for (const Call& c : device.Body())
    if (c.text == "LAST") {
      EXPECT_EQ(c.page, 2);
      EXPECT_EQ(c.y, -3 * kH);
    }
}

TEST(PrintLayout, PageTwelveHeader) {
  RecordingDevice device;
  PrintJob job = InputJob(Lines(60 * 12));
  PrintLayout(job, device).Run();
  std::string header12;
  for (const Call& c : device.calls)
    if (c.kind == Call::kText && c.page == 12 && c.y == 0) header12 = c.text;
  EXPECT_EQ(header12, PrintPageHeaderText(job.dateTime, 12));
  EXPECT_EQ(header12.substr(header12.size() - 16), "      Page    12");
}

TEST(PrintLayout, SkippedPagesKeepTheLayoutOfPrintedOnes) {
  PrintJob job = InputJob(Lines(200) + std::string(200, 'W') + "\r\n" + Lines(50));
  job.log = job.columns = job.rows = true;
  job.result = SomeResult();
  for (int i = 0; i < 70; ++i) job.result.logText += "LOGLINE " + std::to_string(i) + "\r\n";
  RecordingDevice full;
  PrintLayout(job, full).Run();
  ASSERT_GE(full.Pages().size(), 5u);

  job.from = 2;
  job.to = 4;
  RecordingDevice part;
  PrintLayout layout(job, part);
  layout.Run();
  EXPECT_EQ(part.Pages(), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(layout.PagesPrinted(), 3);
  std::vector<Call> expected;
  for (const Call& c : full.calls)
    if (c.kind == Call::kText && c.page >= 2 && c.page <= 4) expected.push_back(c);
  std::vector<Call> got;
  for (const Call& c : part.calls)
    if (c.kind == Call::kText) got.push_back(c);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].page, expected[i].page);
    EXPECT_EQ(got[i].x, expected[i].x);
    EXPECT_EQ(got[i].y, expected[i].y);
    EXPECT_EQ(got[i].text, expected[i].text);
  }
  // Each started page is ended before the next.
  int open = 0;
  for (const Call& c : part.calls) {
    if (c.kind == Call::kBeginPage) {
      EXPECT_EQ(open++, 0);
    }
    if (c.kind == Call::kEndPage) {
      EXPECT_EQ(--open, 0);
    }
  }
  EXPECT_EQ(open, 0);
}

TEST(PrintLayout, ResultSectionsPlaceTheirFields) {
  PrintJob job;
  job.log = job.columns = job.rows = true;
  job.result = SomeResult();
  job.lineHeight = kH;
  RecordingDevice device;
  PrintLayout(job, device).Run();
  const std::vector<Call> body = device.Body();
  auto find = [&](const std::string& text) -> Call {
    for (const Call& c : body)
      if (c.text == text) return c;
    ADD_FAILURE() << "missing " << text;
    return {};
  };
  int y = -3 * kH;
  EXPECT_EQ(find("LOG 1").y, y);
  EXPECT_EQ(find("LOG 1").x, 720);
  EXPECT_EQ(find("LOG 2").y, y - kH);
  // A blank line, then the first two fields of each error line.
  y -= 3 * kH;
  EXPECT_EQ(find("ROW1").y, y);
  EXPECT_EQ(find("1.e-010").x, 720 + 4400);
  for (const Call& c : body) EXPECT_NE(c.text, "extra");
  EXPECT_EQ(find("ROW2").y, y - kH);
  // COLUMNS: fields at 720, +820, +1520, +800, +2400; a blank line is skipped.
  y -= 2 * kH;
  const int xs[5] = {720, 1540, 3060, 3860, 6260};
  const char* first[5] = {"1", "X1", "BS", "2.", "0."};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(find(first[i]).x, xs[i]) << first[i];
    EXPECT_EQ(find(first[i]).y, y) << first[i];
  }
  EXPECT_EQ(find("X2").y, y - kH);
  EXPECT_EQ(find("1.5").x, 6260);
  // ROWS: fields at 720, +2300, +2400, +2400. The COLUMNS text ends in a line
  // end, whose empty last read still moves y.
  y -= 3 * kH;
  EXPECT_EQ(find("R1").y, y);
  EXPECT_EQ(find("4.").x, 3020);
  EXPECT_EQ(find("1.").x, 7820);
  EXPECT_EQ(device.Pages(), std::vector<int>{1});
}

TEST(PrintLayout, ReadNextLineAndNextToken) {
  PrintJob job;
  RecordingDevice device;
  PrintLayout layout(job, device);
  const std::string text = "\r\n\r\nA B\r\n\nC";
  EXPECT_EQ(layout.ReadNextLine(text), "A B");
  EXPECT_EQ(layout.ReadNextLine(text), "C");
  EXPECT_EQ(layout.ReadNextLine(text), "");
  const std::string line = " ,\tX1,Y2  " + J("全\xE3\x80\x80角") + " Z";
  EXPECT_EQ(layout.NextToken(line), "X1");
  EXPECT_EQ(layout.NextToken(line), "Y2");
  EXPECT_EQ(layout.NextToken(line), J("全\xE3\x80\x80角"));  // the ideographic space separates nothing
  EXPECT_EQ(layout.NextToken(line), "Z");
  EXPECT_EQ(layout.NextToken(line), "");
}

TEST(PrintLayout, LinesAcrossSectionsShareTheLineCount) {
  // 50 model lines and 20 log lines. The page's count is 51 after the model's
  // lines and 52 after the empty read behind its last line end; the log's
  // lines G0 to G7 bring it to 60, so G8 starts page 2.
  PrintJob job = InputJob(Lines(50));
  job.log = true;
  job.result.logText = "";
  for (int i = 0; i < 20; ++i) job.result.logText += "G" + std::to_string(i) + "\r\n";
  RecordingDevice device;
  PrintLayout(job, device).Run();
  int lastOnPage1 = -1;
  for (const Call& c : device.Body())
    if (c.page == 1 && c.text[0] == 'G') lastOnPage1 = std::stoi(c.text.substr(1));
  EXPECT_EQ(lastOnPage1, 7);
  EXPECT_EQ(device.Pages(), (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace tavo
