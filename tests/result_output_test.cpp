// The JSON writer (numbers that read back exactly, strings escaped and kept
// valid UTF-8, unlimited values as null) and the aligned layout of the report
// texts (tab stops in character cells, double-byte characters two cells).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "shell/json_writer.h"
#include "shell/text_layout.h"

namespace tavo {
namespace {

TEST(JsonNumber, ReadsBackToTheSameDouble) {
  const double values[] = {
      0.1, 1.0 / 3.0, 2.0 / 3.0, 1e-300, -2.5e20, 5e-324, 1.7976931348623157e308, 123456789012345678.0, -0.000123456789,
      30,  1e30,      -1e30};
  for (double v : values) {
    const std::string s = JsonNumber(v);
    EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
    // JSON's number syntax: no leading '+', no bare '.', no "inf".
    EXPECT_EQ(s.find_first_of("+ ", 0) == 0, false) << s;
    EXPECT_EQ(s.find("inf"), std::string::npos) << s;
    EXPECT_NE(s.back(), '.') << s;
  }
}

TEST(JsonNumber, PlainFormsAndNonFiniteValues) {
  EXPECT_EQ(JsonNumber(30), "30");
  EXPECT_EQ(JsonNumber(-10), "-10");
  EXPECT_EQ(JsonNumber(0.5), "0.5");
  EXPECT_EQ(JsonNumber(0.0), "0");
  EXPECT_EQ(JsonNumber(-0.0), "0");
  EXPECT_EQ(JsonNumber(std::numeric_limits<double>::infinity()), "null");
  EXPECT_EQ(JsonNumber(-std::numeric_limits<double>::infinity()), "null");
  EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
}

TEST(JsonString, EscapesWhatJsonRequires) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"", "\"\""},
      {"X1", "\"X1\""},
      {"a\"b", "\"a\\\"b\""},
      {"a\\b", "\"a\\\\b\""},
      {"l1\r\nl2", "\"l1\\r\\nl2\""},
      {"a\tb", "\"a\\tb\""},
      {std::string("a\0b", 3), "\"a\\u0000b\""},
      {"\x01\x1f\x7f", "\"\\u0001\\u001f\\u007f\""},
      {"/", "\"/\""},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.in), c.out) << c.in;
}

TEST(JsonString, KeepsUtf8AndReplacesMalformedBytes) {
  // Kept: two-, three- and four-byte sequences.
  EXPECT_EQ(JsonString("\xC3\xA9"), "\"\xC3\xA9\"");
  EXPECT_EQ(JsonString("目標行1"), "\"目標行1\"");
  EXPECT_EQ(JsonString("\xE3\x80\x80"), "\"\xE3\x80\x80\"");  // ideographic space
  EXPECT_EQ(JsonString("\xF0\x9F\x98\x80"), "\"\xF0\x9F\x98\x80\"");
  // Replaced, one U+FFFD per bad byte: a stray continuation byte, a code
  // page 932 byte pair, an overlong form, a surrogate, a cut sequence.
  const std::string bad = "\xEF\xBF\xBD";
  EXPECT_EQ(JsonString("\x80"), "\"" + bad + "\"");
  EXPECT_EQ(JsonString("\x96\xDA"), "\"" + bad + bad + "\"");
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"" + bad + bad + "\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"" + bad + bad + bad + "\"");
  EXPECT_EQ(JsonString("A\xE3\x80"), "\"A" + bad + bad + "\"");
  EXPECT_EQ(JsonString("\xF5\x80\x80\x80").substr(0, 4), "\"" + bad);
}

TEST(JsonWriter, NestsWithCommasAndIndentation) {
  JsonWriter j;
  j.BeginObject();
  j.Key("a").Integer(1);
  j.Key("b").BeginArray().Number(0.25).Null().Bool(true).String("x").EndArray();
  j.Key("empty").BeginObject().EndObject();
  j.Key("none").BeginArray().EndArray();
  j.EndObject();
  EXPECT_EQ(j.Take(),
            "{\n"
            "  \"a\": 1,\n"
            "  \"b\": [\n"
            "    0.25,\n"
            "    null,\n"
            "    true,\n"
            "    \"x\"\n"
            "  ],\n"
            "  \"empty\": {},\n"
            "  \"none\": []\n"
            "}\n");
}

TEST(JsonWriter, UnlimitedLimitsAreNull) {
  JsonWriter j;
  j.BeginArray().Limit(1e30).Limit(-1e30).Limit(2e30).Limit(std::nan("")).Limit(12.5).Limit(0).EndArray();
  EXPECT_EQ(j.Take(), "[\n  null,\n  null,\n  null,\n  null,\n  12.5,\n  0\n]\n");
}

// ---------------------------------------------------------------------------

TEST(TextLayout, DialogUnitsBecomeCells) {
  struct Case {
    int units, cells;
  };
  for (Case c : {Case{0, 0}, Case{4, 1}, Case{28, 7}, Case{30, 8}, Case{32, 8}, Case{58, 15}, Case{85, 21},
                 Case{92, 23}, Case{113, 28}, Case{140, 35}, Case{147, 37}, Case{264, 66}}) {
    EXPECT_EQ(DialogUnitsToCells(c.units), c.cells) << c.units;
  }
  EXPECT_EQ(ResultsTabStopUnits(ReportTab::kColumns), (std::vector<int>{28, 92, 113, 168}));
  EXPECT_EQ(ResultsTabStopUnits(ReportTab::kError), (std::vector<int>{140}));
}

TEST(TextLayout, Cp932WidthCountsDoubleByteCharactersAsTwo) {
  EXPECT_EQ(Cp932Width(""), 0);
  EXPECT_EQ(Cp932Width("AB"), 2);
  EXPECT_EQ(Cp932Width("\x96\xDA\x95\x57"), 4);  // two kanji
  EXPECT_EQ(Cp932Width("\x81\x40"), 2);          // ideographic space
  EXPECT_EQ(Cp932Width("\xB1\xB2"), 2);          // two half-width katakana
  EXPECT_EQ(Cp932Width("A\x81"), 2);             // a lone lead byte at the end
}

TEST(TextLayout, TabsMoveToTheNextStop) {
  const std::vector<int> stops = {4, 10};
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"a\tb", "a   b"},
      {"abcd\tb", "abcd      b"},               // at a stop: on to the next one
      {"abcdefghijk\tz", "abcdefghijk     z"},  // past the last stop: next multiple of 8
      {"\t\t\tx",
       "    "
       "      "
       "      x"},
      {"a\tb\r\nc\td", "a   b\r\nc   d"},  // each line counts from its start
      {"no tabs", "no tabs"},
  };
  for (const Case& c : cases) EXPECT_EQ(AlignTabs(c.in, stops, 8), c.out) << c.in;
}

TEST(TextLayout, DoubleByteCharactersTakeTwoCells) {
  const std::vector<int> stops = {6, 12};
  // "目標" is four cells wide: the tab adds two blanks to reach cell 6.
  EXPECT_EQ(AlignTabs("\x96\xDA\x95\x57\tX", stops, 8), "\x96\xDA\x95\x57  X");
  // A trail byte equal to a tab's or a line end's value is not one: 0x8B 0x09
  // cannot occur, but 0x5C ('\\') and 0x7C ('|') as trail bytes stay glued.
  EXPECT_EQ(AlignTabs("\x95\x5C\tX", stops, 8), "\x95\x5C    X");
  // Half-width katakana are one cell each.
  EXPECT_EQ(AlignTabs("\xB1\xB2\tX", stops, 8), "\xB1\xB2    X");
}

TEST(TextLayout, ColumnsReportLinesUpInCells) {
  const std::string line = "1\tX       \tBS\t30.\t0.\r\n12\tLONGNAME\t\x81\x40\t-1.5\t2.\r\n";
  const std::string out = AlignReport(line, ReportTab::kColumns);
  // Stops at cells 7, 23, 28, 42: every field starts at the same cell in
  // both lines.
  const std::size_t second = out.find("\r\n") + 2;
  EXPECT_EQ(out.substr(0, second), std::string("1      X               BS   30.           0.\r\n"));
  EXPECT_EQ(out.substr(second), std::string("12     LONGNAME        \x81\x40   -1.5          2.\r\n"));
}

}  // namespace
}  // namespace tavo
