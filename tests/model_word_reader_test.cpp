// The word reader: words, lines, comments, labels, signs, the joining of a
// detached coefficient, name checks and the variable lookup.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/word_reader.h"
#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/texts.h"

namespace tavo {
namespace {

class WordReaderTest : public ::testing::Test {
 protected:
  Workspace W;
  RecordingPort port;
  CalcRun run{W, port};

  // Every word of the text, with ReadWord.
  std::vector<std::string> Words(const std::string& text) {
    run.P.g_textPos = 0;
    run.P.g_lineNo = 1;
    std::vector<std::string> out;
    for (;;) {
      std::string w = run.ReadWord(text);
      if (w.empty()) break;
      out.push_back(w);
    }
    return out;
  }

  struct Term {
    std::string word;
    int cls;
    std::string num;
  };
  // Every word of the text, with ReadTerm.
  std::vector<Term> Terms(const std::string& text) {
    run.P.g_textPos = 0;
    run.P.g_lineNo = 1;
    run.P.g_tokenClass = kTokPlain;
    run.P.g_lineTerms = 0;
    std::vector<Term> out;
    for (;;) {
      std::string w = run.ReadTerm(text);
      if (w.empty()) break;
      out.push_back({w, run.P.g_tokenClass, run.P.g_numPart});
    }
    return out;
  }

  // Registers names as the counting pass does.
  void Register(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      std::string stored = name.substr(0, 8);
      stored.resize(8, ' ');
      W.CNAME += stored;
      run.P.g_varNames.push_back(name);
      run.P.g_varIndex.Insert(static_cast<int>(run.P.g_varNames.size()) - 1, run.P.g_varNames);
    }
  }

  int Find(const std::string& name, int count) {
    run.P.g_namePart = name;
    return run.FindVariable(count);
  }
};

using Strings = std::vector<std::string>;

TEST_F(WordReaderTest, OperatorsAreWordsOfTheirOwn) {
  EXPECT_EQ(Words("A<=B"), (Strings{"A", "<=", "B"}));
  EXPECT_EQ(Words("A=<B"), (Strings{"A", "=", "<", "B"}));
  EXPECT_EQ(Words("X+Y<=10"), (Strings{"X+Y", "<=", "10"}));
  EXPECT_EQ(Words("a==b >c"), (Strings{"A", "==", "B", ">", "C"}));
  EXPECT_EQ(Words("<<<="), (Strings{"<", "<", "<="}));
}

TEST_F(WordReaderTest, SignsSeparatorsAndLabels) {
  EXPECT_EQ(Words("-5"), (Strings{"-", "5"}));
  EXPECT_EQ(Words("3X-2Y"), (Strings{"3X-2Y"}));
  EXPECT_EQ(Words("x1,x2"), (Strings{"X1", "X2"}));
  EXPECT_EQ(Words("\tx1 ,, x2\r\n"), (Strings{"X1", "X2"}));
  EXPECT_EQ(Words("+"), (Strings{"+"}));

  run.P.g_textPos = 0;
  run.P.g_tokenClass = kTokPlain;
  EXPECT_EQ(run.ReadWord("C1) X"), "C1");
  EXPECT_EQ(run.P.g_tokenClass, kTokLabel);
  EXPECT_EQ(run.P.g_textPos, 3);  // the ')' is consumed
  EXPECT_EQ(Words("C1 )"), (Strings{"C1", ")"}));
}

TEST_F(WordReaderTest, CommentsJoinTheWordAroundThem) {
  EXPECT_EQ(Words("AB!note\r\nCD"), (Strings{"ABCD"}));
  EXPECT_EQ(Words("AB !note\r\nCD"), (Strings{"AB", "CD"}));
  EXPECT_EQ(Words("! only a comment"), (Strings{}));
  EXPECT_EQ(Words("X !c1\r\n!c2\r\n  Y"), (Strings{"X", "Y"}));
  // After a comment line the next byte starts a word even when it is an
  // operator character, so ">=" reads as ">" and "=".
  EXPECT_EQ(Words("!c\r\n>= 3"), (Strings{">", "=", "3"}));
}

TEST_F(WordReaderTest, LinesAreCountedWithEitherLineEnd) {
  Words("A\r\nB\r\n\r\nC");
  EXPECT_EQ(run.P.g_lineNo, 4);
  Words("A\nB\n\nC\n");
  EXPECT_EQ(run.P.g_lineNo, 5);
  Words("\nA");
  EXPECT_EQ(run.P.g_lineNo, 2);
  Words("A !c\r\n!d\r\nB");
  EXPECT_EQ(run.P.g_lineNo, 3);
  Words("C1)\nX +\n-\nY");
  EXPECT_EQ(run.P.g_lineNo, 4);

  run.P.g_textPos = 0;
  run.P.g_lineNo = 1;
  run.P.g_lineTerms = 5;
  run.ReadWord("A\r\nB");
  EXPECT_EQ(run.P.g_lineTerms, 5);
  run.ReadWord("A\r\nB");
  EXPECT_EQ(run.P.g_lineTerms, 0);  // a new line starts a new count
}

TEST_F(WordReaderTest, UpperCasingLeavesDoubleByteCharactersAlone) {
  // 0x83 0x61 is one double-byte character whose second byte is 'a'.
  EXPECT_EQ(Words("x\x83\x61y"), (Strings{"X\x83\x61Y"}));
  // A lead byte as the very last byte of the text.
  EXPECT_EQ(Words("ab\x83"), (Strings{"AB\x83"}));
  std::string w = "a\x83";
  UpperCaseCp932(w);
  EXPECT_EQ(w, "A\x83");
  // Half-width katakana are single bytes; the byte after them is a letter.
  EXPECT_EQ(Words("\xB1x"), (Strings{"\xB1X"}));
}

TEST_F(WordReaderTest, TermsCarryTheirClassAndNumericPart) {
  auto t = Terms("3X + 2.5PROFIT - X3 <= @");
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[0].word, "3X");
  EXPECT_EQ(t[0].num, "3");
  EXPECT_EQ(t[1].cls, kTokPlus);
  EXPECT_EQ(t[2].num, "2.5");
  EXPECT_EQ(t[3].cls, kTokMinus);
  EXPECT_EQ(t[4].num, "");
  EXPECT_EQ(t[5].cls, kTokLess);
  EXPECT_EQ(t[6].word, "@");
  EXPECT_EQ(t[6].num, "@");
  EXPECT_EQ(Terms(">= = ==")[1].cls, kTokEqual);
  EXPECT_EQ(Terms("> x")[0].cls, kTokGreater);
}

TEST_F(WordReaderTest, DetachedCoefficientsAreJoinedWithTheirName) {
  auto t = Terms("3 X");
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].word, "3X");
  EXPECT_EQ(t[0].num, "3");
  EXPECT_EQ(run.P.g_lineTerms, 1);

  // After an operator the number is a right-hand side; X is the next word.
  t = Terms("<= 3 X");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[1].word, "3");
  EXPECT_EQ(t[1].cls, kTokPlain);
  EXPECT_EQ(t[2].word, "X");

  // Before an operator at the start of a line: the lower value of a range.
  t = Terms("3 <= X");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].word, "3");
  EXPECT_EQ(t[1].word, "<=");
  EXPECT_EQ(t[1].cls, kTokLess);

  // The last word of the text.
  t = Terms("X 12");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].word, "12");
  EXPECT_EQ(t[1].cls, kTokPlain);
  EXPECT_TRUE(run.result.logText.empty());
}

TEST_F(WordReaderTest, NumberBetweenTermsAndOperatorIsReported) {
  auto t = Terms("X + Y 3 <= 10");
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[3].word, "<=");
  EXPECT_EQ(t[3].cls, kTokLess);  // the operator is still read as one
  EXPECT_EQ(t[4].word, "10");
  EXPECT_EQ(run.result.logText, T().linePrefix + "1" + T().msgInvalidName + "3" + T().detailEnd);
  EXPECT_EQ(W.NERR, 1);
}

// The reader over a parser state of its own (the scan of warnings) reads
// the same words, classes, numeric parts and lines as the run's, reports
// nothing, and tells when a detached number was joined with its name.
TEST_F(WordReaderTest, ReaderOverAStateOfItsOwnReadsTheSame) {
  const std::string text = "C1) 3 X + 2Y\r\n- Y 3 <= 10 ! note\r\n2 <= X";
  const std::vector<Term> expected = Terms(text);
  const int expectedLine = run.P.g_lineNo;
  ParserState P;
  std::vector<Term> got;
  std::vector<bool> joined;
  for (;;) {
    std::string w = ReadTermIn(P, text, nullptr);
    if (w.empty()) break;
    got.push_back({w, P.g_tokenClass, P.g_numPart});
    joined.push_back(P.g_joinedNumber);
  }
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].word, expected[i].word) << i;
    EXPECT_EQ(got[i].cls, expected[i].cls) << i;
    EXPECT_EQ(got[i].num, expected[i].num) << i;
  }
  EXPECT_EQ(P.g_lineNo, expectedLine);
  EXPECT_EQ(joined, (std::vector<bool>{false, true, false, false, false, false, false, false, false, false, false}));
  EXPECT_EQ(run.result.logText,
            T().linePrefix + "2" + T().msgInvalidName + "3" + T().detailEnd);  // the run's read only
}

TEST_F(WordReaderTest, DeclarationsAreReadRaw) {
  run.P.g_inDeclarations = 1;
  auto t = Terms("INT 3 X <= -");
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[1].word, "3");
  EXPECT_EQ(t[1].num, "3");
  EXPECT_EQ(t[2].word, "X");
  EXPECT_EQ(t[3].cls, t[2].cls);  // not classified
  EXPECT_EQ(run.P.g_lineTerms, 0);
}

TEST_F(WordReaderTest, NameCheck) {
  auto valid = [&](const std::string& name) {
    run.P.g_namePart = name;
    return run.IsValidName();
  };
  EXPECT_EQ(valid("X"), 1);
  EXPECT_EQ(valid("X_1.A+B-C"), 1);
  EXPECT_EQ(valid("X\x83\x61"), 1);
  EXPECT_EQ(valid(std::string(18, 'A')), 1);
  EXPECT_EQ(valid(std::string(19, 'A')), 0);
  EXPECT_EQ(valid(""), 0);
  EXPECT_EQ(valid("_X"), 0);
  EXPECT_EQ(valid("+"), 0);
  EXPECT_EQ(valid("F(X"), 0);
  EXPECT_EQ(valid("FX)"), 0);
}

TEST_F(WordReaderTest, LookupFindsWholeNamesWithinTheCount) {
  Register({"X1", "Y", "ABCDEFGHIJ", "ABCDEFGHKL", "ABCDEFGH"});
  EXPECT_EQ(Find("Y", 5), 1);
  EXPECT_EQ(W.JCUR, 1);
  EXPECT_EQ(Find("X", 5), 0);  // the entry holds X1
  EXPECT_EQ(W.JCUR, 5);
  EXPECT_EQ(Find("", 5), 0);
  EXPECT_EQ(W.JCUR, 5);
  EXPECT_EQ(Find("Y", 1), 0);  // beyond the count
  EXPECT_EQ(W.JCUR, 1);
  // Long names sharing their first 8 bytes stay apart.
  EXPECT_EQ(Find("ABCDEFGHKL", 5), 1);
  EXPECT_EQ(W.JCUR, 3);
  EXPECT_EQ(Find("ABCDEFGH", 5), 1);
  EXPECT_EQ(W.JCUR, 4);
  EXPECT_EQ(Find("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 5), 0);
  EXPECT_EQ(W.CNAME.substr(16, 16), "ABCDEFGHABCDEFGH");
}

TEST_F(WordReaderTest, IndexedLookupAgreesWithAPlainScan) {
  // Many names, some registered twice: the first registration must win and a
  // count must hide the later entries, exactly as a scan in column order.
  std::mt19937 rng(7);
  std::vector<std::string> names;
  for (int i = 0; i < 5000; ++i) {
    std::string name = "V" + std::to_string(rng() % 3000);
    if (i % 7 == 0) name += std::string(12, 'L');  // long names too
    names.push_back(name);
  }
  Register(names);
  for (int probe = 0; probe < 4000; ++probe) {
    const std::string name = probe % 2 ? names[rng() % names.size()] : "V" + std::to_string(rng() % 3500);
    const int count = static_cast<int>(rng() % (names.size() + 1));
    int expected = count;
    for (int i = 0; i < count; ++i) {
      if (names[i] == name) {
        expected = i;
        break;
      }
    }
    ASSERT_EQ(Find(name, count), expected < count ? 1 : 0) << name << " " << count;
    ASSERT_EQ(W.JCUR, expected);
  }
}

TEST_F(WordReaderTest, LookupOfTableEntriesNotRegisteredByTheParser) {
  // A table filled directly: 8 stored bytes, compared as the fixed field.
  W.CNAME = "X1      Y       ABCDEFGH";
  EXPECT_EQ(Find("Y", 3), 1);
  EXPECT_EQ(W.JCUR, 1);
  EXPECT_EQ(Find("X", 3), 0);
  EXPECT_EQ(Find("ABCDEFGH", 3), 1);
  EXPECT_EQ(W.JCUR, 2);
  EXPECT_EQ(Find("ABCDEFGH", 9), 1);  // a count beyond the table reads no further
  EXPECT_EQ(Find("Z", 9), 0);
  EXPECT_EQ(W.JCUR, 9);
}

}  // namespace
}  // namespace tavo
