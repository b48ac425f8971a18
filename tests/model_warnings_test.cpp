// Warnings about model texts that read as something else than their writer
// most likely meant: each kind with its line and detail, the cases that must
// stay quiet (the bundled examples, goal programs' deviation variables,
// numbered families), and bad input that must never crash the scan.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "shell/model_warnings.h"
#include "shell/texts.h"
#include "tests/support/test_files.h"

namespace tavo {
namespace {

using testsupport::Crlf;

// Lines written with "\n" become CR LF, as a saved model has them.
struct Expected {
  int line;
  WarningKind kind;
  std::string text;
};

std::string Detail(const std::string& text, const std::string& detail) { return text + "( " + detail + " )"; }
std::string Misspelt(const std::string& other, const std::string& name) {
  return Detail(T().warnMisspeltPrefix + other + T().warnMisspeltSuffix, name);
}

void ExpectWarnings(const std::string& model, const std::vector<Expected>& expected) {
  const std::vector<ModelWarning> got = FindModelWarnings(Crlf(model));
  ASSERT_EQ(got.size(), expected.size()) << model;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].line, expected[i].line) << model << " #" << i;
    EXPECT_EQ(got[i].kind, expected[i].kind) << model << " #" << i;
    EXPECT_EQ(got[i].text, expected[i].text) << model << " #" << i;
  }
}

TEST(ModelWarnings, OperatorCharactersInAName) {
  const auto k = WarningKind::kOperatorInName;
  const std::string& t = T().warnOperatorInName;
  ExpectWarnings("MAX X\nST\n3X-2Y <= 4\n", {{3, k, Detail(t, "X-2Y")}});
  ExpectWarnings("MAX X\nST\nX+Y<=10\n", {{3, k, Detail(t, "X+Y")}});
  ExpectWarnings(
      "MAX X*2 + Y\nST\nX*2 + Y/3 + Y.1 <= 4\n",
      {{1, k, Detail(t, "X*2")}, {3, k, Detail(t, "X*2")}, {3, k, Detail(t, "Y/3")}, {3, k, Detail(t, "Y.1")}});
  // Signs written apart are sign words, and the coefficient of "2.5Z" is 2.5.
  ExpectWarnings("MAX X\nST\n3X - 2Y + 2.5Z <= 4\n", {});
}

TEST(ModelWarnings, ExponentLikeNameAfterANumber) {
  const auto k = WarningKind::kExponentLikeName;
  const std::string& t = T().warnExponentName;
  ExpectWarnings("MAX X\nST\nX + 1.5E2X <= 4\n", {{3, k, Detail(t, "1.5E2X")}});
  // Upper-cased as the parser reads it; a signed exponent is one warning, not
  // also an operator character in the name.
  ExpectWarnings("MAX X\nST\nX + 2e-3y <= 4\n", {{3, k, Detail(t, "2E-3Y")}});
  // Not right after a number: a name of its own, a number written apart, or E
  // followed by a letter.
  ExpectWarnings("MAX E2\nST\nE2 + 3 E3 <= 4\n3EX + E2 >= 1\n", {});
}

TEST(ModelWarnings, SameVariableTwiceInOneRow) {
  const auto k = WarningKind::kRepeatedInRow;
  const std::string& t = T().warnRepeatedInRow;
  ExpectWarnings("MAX X\nST\n2X + Y + 3X <= 4\n", {{3, k, Detail(t, "X")}});
  // Once per row, at the second term; a row spanning lines; a goal row too.
  ExpectWarnings("MAX X + Y + X\nST\nX + Y + X\n+ X <= 4\n", {{1, k, Detail(t, "X")}, {3, k, Detail(t, "X")}});
  // Rows end at their right-hand sides, not at line ends: two rows on a line
  // and a two-sided row are no repetition.
  ExpectWarnings("MAX X\nST\nX + Y <= 4 X - Y >= 1\n1 <= X + Y <= 3\n", {});
}

TEST(ModelWarnings, LikelyMisspeltNames) {
  const auto k = WarningKind::kLikelyMisspelt;
  const std::string head = "MAX 3PROFIT + COST\nST\nPROFIT + COST <= 10\n";
  // A neighbour swap, a character changed, inserted and left out.
  for (const char* name : {"PROFTI", "PROFIX", "PROFITT", "PROFT", "PRFIT"})
    ExpectWarnings(head + name + " - COST >= 2\n", {{4, k, Misspelt("PROFIT", name)}});
  // Two edits, a name written in two rows, and a name that is also declared.
  ExpectWarnings(head + "PRFOTI - COST >= 2\n", {});
  ExpectWarnings(head + "PROFTI - COST >= 2\nPROFTI <= 3\n", {});
  ExpectWarnings(head + "PROFTI - COST >= 2\nEND\nSUB PROFTI 5\n", {});
}

TEST(ModelWarnings, NamingSchemesAreNotMisspellings) {
  // Deviation variables of a goal program: each pair stands in one row, one
  // of them only there.
  ExpectWarnings(
      "MIN D1N\nMIN D2P\nST\n"
      "X + Y + D1N - D1P = 10\n"
      "X - Y + D2N - D2P = 4\n",
      {});
  // Numbered families, each member in a row of its own.
  ExpectWarnings("MAX ITEM1\nST\nITEM1 + ITEM2 <= 5\nITEM3 <= 4\nITEM12 + ITEM1 >= 1\nITEM21 <= 7\n", {});
  // Names of one or two characters are symbols, not words.
  ExpectWarnings("MAX X + Y\nST\nX + Y <= 4\nZ <= 3\nXA <= 2\n", {});
}

TEST(ModelWarnings, DoubleByteCharactersCountAsOneCharacter) {
  // "X利益" and "X損益" differ in one double-byte character.
  const std::string profit = "X\x97\x98\x89\x76", other = "X\x91\xB9\x89\x76";
  ExpectWarnings("MAX " + profit + "\nST\n" + profit + " + Y <= 4\n" + other + " + Y >= 1\n",
                 {{4, WarningKind::kLikelyMisspelt, Misspelt(profit, other)}});
}

TEST(ModelWarnings, InLineOrderWithTitleAndComments) {
  ExpectWarnings(
      "TITLE X-Y ! the title is not a term\n"
      "MAX 3PROFIT\n"
      "ST\n"
      "PROFIT + 1.5E2X <= 10 ! comment\n"
      "PROFTI + A-B >= 2\n",
      {{4, WarningKind::kExponentLikeName, Detail(T().warnExponentName, "1.5E2X")},
       {5, WarningKind::kOperatorInName, Detail(T().warnOperatorInName, "A-B")},
       {5, WarningKind::kLikelyMisspelt, Misspelt("PROFIT", "PROFTI")}});
}

TEST(ModelWarnings, BundledExamplesAndCleanModelsHaveNone) {
  const std::filesystem::path examples = std::filesystem::path(TAVO_SOURCE_DIR) / "examples";
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(examples)) {
    if (entry.path().extension() != ".tvd") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(FindModelWarnings(text).empty()) << entry.path();
    ++seen;
  }
  EXPECT_GE(seen, 4);
  ExpectWarnings(
      "TITLE PLAN\n! profit first, overtime second\nMAX 3X + 2Y\nMIN OT\nST\n"
      "C1) X + Y <= 40\nC2) 2X + Y - OT <= 60\n10 <= X <= 30\nEND\nGIN X\nSUB Y 25\n",
      {});
}

TEST(ModelWarnings, BadInputNeverCrashes) {
  EXPECT_TRUE(FindModelWarnings("").empty());
  EXPECT_TRUE(FindModelWarnings("MAX").empty());
  // A word of a megabyte is one name, looked at in linear time.
  const std::string huge(1 << 20, 'Z');
  EXPECT_TRUE(
      FindModelWarnings("MAX X\r\nST\r\nX + Y <= 1\r\n" + huge + " + Y >= 1\r\n" + huge + "A <= 2\r\n").empty());
  std::mt19937 rng(20261207);
  const char* pieces[] = {"MAX ", "MIN ", "ST ", "END ", "INT ",   "GIN ", "SUB ", "X ", "X-Y ", "1.5E2X ", "+ ",
                          "- ",   "<= ",  "3 ",  "C1) ", "!c\r\n", "\r\n", "\x83", ",",  "@",    "INTORG "};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    if (round % 2) {
      text.assign(1 + rng() % 300, '\0');
      for (char& c : text) c = static_cast<char>(rng() & 0xFF);
    } else {
      for (int i = rng() % 60; i > 0; --i) text += pieces[rng() % std::size(pieces)];
    }
    for (const ModelWarning& w : FindModelWarnings(text)) {
      EXPECT_GE(w.line, 1);
      EXPECT_FALSE(w.text.empty());
    }
  }
}

}  // namespace
}  // namespace tavo
