// Fixed-width names and labels in code page 932: a cut never leaves half a
// double-byte character, so every report stays valid code page 932.
#include <gtest/gtest.h>

#include <string>

#include "shell/codec.h"
#include "shell/optimise.h"
#include "shell/recording_port.h"

namespace tavo {
namespace {

const std::string kKanji = "\x90\x94";  // one double-byte character

TEST(FixedWidthCp932, CutsBeforeACharacterThatWouldStraddleTheEnd) {
  struct Case {
    std::string in;
    std::size_t width;
    std::string out;
  } cases[] = {
      {"ABC", 8, "ABC     "},
      {"ABCDEFGHIJ", 8, "ABCDEFGH"},
      {"A" + kKanji + kKanji + kKanji, 8, "A" + kKanji + kKanji + kKanji + " "},        // 7 bytes fit
      {"A" + kKanji + kKanji + kKanji + kKanji, 8, "A" + kKanji + kKanji + kKanji + " "},  // the 4th straddles
      {"AB" + kKanji + kKanji + kKanji + kKanji, 8, "AB" + kKanji + kKanji + kKanji},   // exactly 8
      {"", 3, "   "},
      {std::string("AB\x90"), 8, std::string("AB\x90     ")},  // a lone lead byte at the end is kept as it is
  };
  for (const Case& c : cases) EXPECT_EQ(FixedWidthCp932(c.in, c.width), c.out) << c.in;
}

TEST(FixedWidthCp932, LongJapaneseNamesAndLabelsLeaveValidReports) {
  std::string name = "A";
  std::string label = "L";
  for (int i = 0; i < 4; ++i) name += kKanji;   // 9 bytes: cut to 7 + blank in the reports
  for (int i = 0; i < 9; ++i) label += kKanji;  // 19 bytes: cut to 17 + blank
  const std::string model = "MAX " + name + "\r\nST\r\n" + label + ") " + name + " <= 4\r\nEND\r\n";
  RecordingPort port;
  ASSERT_EQ(RunOptimiseCommand(model, DefaultSettings(), port), CommandStatus::kRan);
  ASSERT_EQ(g_lastResult.resultCode, kResultOptimal);
  for (const std::string* text :
       {&g_lastResult.logText, &g_lastResult.columnsText, &g_lastResult.rowsText, &g_lastResult.errorText}) {
    EXPECT_TRUE(ValidateCp932(*text).ok) << Cp932ToUtf8(*text);
  }
  EXPECT_NE(g_lastResult.columnsText.find("A" + kKanji + kKanji + kKanji + " "), std::string::npos);
  EXPECT_NE(g_lastResult.rowsText.find(label.substr(0, 17) + " "), std::string::npos);
}

}  // namespace
}  // namespace tavo
