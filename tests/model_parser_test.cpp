// The model parser: what it stores for a model, every message it writes with
// its line number, and bad input that must end in messages, never a crash.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "report_support.h"
#include "shell/numbers.h"
#include "solver/memory_limit.h"

namespace tavo {
namespace {

class ParserTest : public ::testing::Test, protected reporttest::KeptRun {
 protected:
  ParserTest() : KeptRun("") {}

  int Parse(const std::string& text, int sensitivity = 0) {
    run.settings = DefaultSettings();
    run.settings.SENSITIVITY = sensitivity;
    return run.ParseModel(text);
  }

  // The log after its header and the Data Input line.
  std::string Messages() const {
    const std::string head = T().logHeader + T().g_bannerDataInput + port.dateTimeText + "\r\n";
    const std::string& log = run.result.logText;
    EXPECT_EQ(log.substr(0, head.size()), head);
    return log.size() >= head.size() ? log.substr(head.size()) : log;
  }

  // The text is rejected with exactly these messages.
  void ExpectRejected(const std::string& text, const std::string& messages) {
    EXPECT_EQ(Parse(text), 0) << text;
    EXPECT_EQ(Messages(), messages) << text;
  }

  double A(int row, int col) const { return W.AMAT[static_cast<std::size_t>(col) * W.MROWS + row]; }
};

// "Line n" + message + detail + " )\r\n".
std::string L(int line, const std::string& message, const std::string& detail) {
  return T().linePrefix + FormatInt(line) + message + detail + T().detailEnd;
}
// "Line n" + a message that carries its own line end.
std::string L(int line, const std::string& message) { return T().linePrefix + FormatInt(line) + message; }

std::string Summary(int rows, int vars) {
  return T().summaryHas + FormatInt(rows) + T().summaryRows + FormatInt(vars) + T().summaryVariables + "0\r\n\r\n";
}

const char* const kExample =
    "TITLE PLAN\r\n"
    "! profit first, overtime second\r\n"
    "MAX 3X + 2Y\r\n"
    "MIN OT\r\n"
    "ST\r\n"
    "C1) X + Y <= 40\r\n"
    "C2) 2X + Y - OT <= 60\r\n"
    "10 <= X <= 30\r\n"
    "END\r\n"
    "GIN X\r\n"
    "SUB Y 25\r\n";

// ---------------------------------------------------------------------------
// What a model stores.

TEST_F(ParserTest, ExampleModelIsStoredAsWritten) {
  ASSERT_EQ(Parse(kExample), 1);
  EXPECT_EQ(Messages(), Summary(5, 3));
  const std::string summary = " THIS PROBLEM HAS 5 ROWS,  3 VARIABLES  DATA ERROR = 0\r\n\r\n";
  EXPECT_EQ(run.result.logText.substr(run.result.logText.size() - summary.size()), summary);
  EXPECT_EQ(W.NGOALS, 2);
  EXPECT_EQ(W.MROWS, 5);
  EXPECT_EQ(W.NSTRUC, 3);
  EXPECT_EQ(W.NCOLS, 8);
  EXPECT_EQ(W.NERR, 0);
  EXPECT_EQ(W.NINT, 1);
  EXPECT_EQ(W.g_bbState, 0);
  EXPECT_EQ(W.TSTART, port.now);
  EXPECT_EQ(run.P.g_modelTitle, "PLAN");
  EXPECT_EQ(W.CNAME, "X       Y       OT      ");

  const std::vector<double> amat = {-3, 0, 1, 2,  1,   // X
                                    -2, 0, 1, 1,  0,   // Y
                                    0,  1, 0, -1, 0};  // OT
  EXPECT_EQ(W.AMAT, amat);
  EXPECT_EQ(W.XB, (std::vector<double>{0, 0, 40, 60, 30}));
  EXPECT_EQ(W.RANGE, (std::vector<double>{0, 0, 0, 0, 20}));
  EXPECT_EQ(W.ROWTYP, (std::vector<std::uint8_t>{1, 1, 3, 3, 3}));
  EXPECT_EQ(W.BNDFLG, (std::vector<std::uint8_t>{32, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(W.UBND, (std::vector<double>{0, 25, 0}));
  EXPECT_EQ(W.LBND, (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(W.RHS.size(), 5u);
  EXPECT_EQ(W.ACOL.size(), 5u);
  // Labels: 18 bytes per constraint row, an unlabelled row all zero bytes.
  EXPECT_EQ(run.P.g_haveRowLabels, 1);
  EXPECT_EQ(W.RNAME, std::string("C1                C2                ") + std::string(18, '\0'));
}

TEST_F(ParserTest, DefaultTitleAndNoLabels) {
  ASSERT_EQ(Parse("max x\r\nst\r\nx <= 4\r\n"), 1);
  EXPECT_EQ(run.P.g_modelTitle, T().defaultTitle);
  EXPECT_EQ(run.P.g_haveRowLabels, 0);
  EXPECT_TRUE(W.RNAME.empty());
  EXPECT_EQ(W.CNAME, "X       ");
  EXPECT_EQ(W.AMAT, (std::vector<double>{-1, 1}));
}

TEST_F(ParserTest, TermsSignsAndCoefficients) {
  ASSERT_EQ(Parse("NAME t\r\nMIN - 3 X + y - 2@Z + @W\r\n"
                  "SUBJECT TO\r\n"
                  "X + Y + Z + W >= 1\r\n"
                  "x - X + 1.2.3Y, -z < 7\r\n"  // x and X are one variable; the later coefficient wins
                  "X+Y <= 10\r\n"),             // one variable named X+Y
            1)
      << Messages();
  EXPECT_EQ(W.NSTRUC, 5);
  EXPECT_EQ(W.CNAME.substr(32, 8), "X+Y     ");
  EXPECT_EQ(A(0, 0), -3);
  EXPECT_EQ(A(0, 1), 1);
  EXPECT_EQ(A(0, 2), -2);
  EXPECT_EQ(A(0, 3), 0);  // "@" ends the value of a coefficient: @W has 0
  EXPECT_EQ(A(2, 0), -1);
  EXPECT_EQ(A(2, 1), 1.2);
  EXPECT_EQ(A(2, 2), -1);
  EXPECT_EQ(W.ROWTYP[1], kRowGreater);
  EXPECT_EQ(W.ROWTYP[2], kRowLess);
  EXPECT_EQ(A(3, 4), 1);
}

// The texts the model warnings point out keep their reading: the language
// does not change under stored models.
TEST_F(ParserTest, TextsThatDrawWarningsReadAsBefore) {
  struct Case {
    const char* row;
    std::string names;                 // CNAME after the goal row's X
    std::vector<double> coefficients;  // row 2, columns 0, 1, ...
  };
  const Case cases[] = {
      {"3X-2Y <= 4", "X       X-2Y    ", {0, 3}},
      {"X + 1.5E2X <= 4", "X       E2X     ", {1, 1.5}},
      {"2X + Y + 3X <= 4", "X       Y       ", {3, 1}},
      {"PROFIT + PROFTI <= 4", "X       PROFIT  PROFTI  ", {0, 1, 1}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Parse(std::string("MAX X\r\nST\r\nX <= 9\r\n") + c.row + "\r\n"), 1) << c.row << Messages();
    EXPECT_EQ(W.CNAME, c.names) << c.row;
    for (std::size_t j = 0; j < c.coefficients.size(); ++j) EXPECT_EQ(A(2, j), c.coefficients[j]) << c.row << j;
  }
}

TEST_F(ParserTest, RowsMayShareOrSpanLines) {
  ASSERT_EQ(Parse("MAX X\r\nST\r\nX + Y\r\n+ Z <= 1 Y = 2 Z == 3 X > 0\r\n"), 1) << Messages();
  EXPECT_EQ(W.MROWS, 5);
  EXPECT_EQ(W.ROWTYP, (std::vector<std::uint8_t>{1, 3, 4, 4, 2}));
  EXPECT_EQ(W.XB, (std::vector<double>{0, 1, 2, 3, 0}));
  EXPECT_EQ(A(1, 2), 1);
}

TEST_F(ParserTest, RightHandSidesAndRanges) {
  ASSERT_EQ(Parse("MAX X\r\nST\r\n"
                  "X >= - @\r\n"
                  "X <= -5\r\n"
                  "5 >= X >= 1\r\n"
                  "<= X + Y <= 10\r\n"
                  "-@ <= Y <= @\r\n"),
            1)
      << Messages();
  EXPECT_EQ(W.XB, (std::vector<double>{0, -1e30, -5, 5, 10, 1e30}));
  EXPECT_EQ(W.RANGE, (std::vector<double>{0, 0, 0, 4, 10, 2e30}));
  EXPECT_EQ(W.ROWTYP, (std::vector<std::uint8_t>{1, 2, 3, 3, 3, 3}));
}

TEST_F(ParserTest, GoalRowsWithoutTermsAndSeveralGoals) {
  ASSERT_EQ(Parse("MAX\r\nMIN X\r\nMAX ST\r\nX <= 1\r\n"), 1) << Messages();
  EXPECT_EQ(W.NGOALS, 3);
  EXPECT_EQ(W.AMAT, (std::vector<double>{0, 1, 0, 1}));
}

TEST_F(ParserTest, Declarations) {
  ASSERT_EQ(Parse("MAX A\r\nST\r\nA + B + C + D + E + F <= 9\r\nEND\r\n"
                  "INT 2 INT C\r\n"
                  "FREE D FIX E 2.5 SLB F 1 SUB F 3\r\n"
                  "INT F FREE F\r\n"  // FREE after INT: continuous and free
                  "INTORG A INTEND\r\n"
                  "END\r\n"),
            1)
      << Messages();
  EXPECT_EQ(W.BNDFLG, (std::vector<std::uint8_t>{33, 33, 33, 16, 4, 16, 0, 0}));
  EXPECT_EQ(W.UBND, (std::vector<double>{1, 1, 1, 0, 0, 1}));
  EXPECT_EQ(W.LBND, (std::vector<double>{0, 0, 0, 0, 2.5, 0}));
  EXPECT_EQ(W.NINT, 2 + 1 + 1 + 1);

  ASSERT_EQ(Parse("MAX X\r\nST\r\nX + Y <= 9\r\nFREE X SUB X 5 FREE Y SLB Y 2 SUB X 4 INT 0\r\n"), 1);
  EXPECT_EQ(W.BNDFLG[0], 9);  // free, then an upper bound: bounded above only
  EXPECT_EQ(W.BNDFLG[1], 2);  // free, then a lower bound
  EXPECT_EQ(W.UBND[0], 4);
  EXPECT_EQ(W.NINT, 0);

  ASSERT_EQ(Parse("MAX X\r\nST\r\nX + Y <= 9\r\nSUB X 5 INT X\r\n"), 1);
  EXPECT_EQ(W.UBND[0], 1);  // a later declaration overrides an earlier one
  EXPECT_EQ(W.BNDFLG[0], 33);
}

TEST_F(ParserTest, BoundRowsUnderSensitivityAnalysis) {
  const std::string model = "MAX X\r\nST\r\nX + Y <= 9\r\nSUB X 5\r\nSLB Y 2\r\n";
  ASSERT_EQ(Parse(model, 1), 1) << Messages();
  EXPECT_EQ(W.MROWS, 4);
  EXPECT_EQ(run.P.g_boundRowCount, 2);
  EXPECT_EQ(W.ROWTYP, (std::vector<std::uint8_t>{1, 3, 3, 2}));
  EXPECT_EQ(W.XB, (std::vector<double>{0, 9, 5, 2}));
  EXPECT_EQ(A(2, 0), 1);
  EXPECT_EQ(A(2, 1), 0);
  EXPECT_EQ(A(3, 1), 1);
  EXPECT_EQ(Messages(), Summary(4, 2));

  ASSERT_EQ(Parse(model, 0), 1);
  EXPECT_EQ(W.MROWS, 2);
  ASSERT_EQ(Parse(model + "GIN X\r\n", 1), 1);
  EXPECT_EQ(W.MROWS, 2);
  EXPECT_EQ(run.P.g_boundRowCount, 0);
}

TEST_F(ParserTest, UnfinishedRowBeforeEndIsDropped) {
  ASSERT_EQ(Parse("MAX X\r\nST\r\nX + Y <= 4\r\nX + Y\r\nEND\r\nSUB Y 2\r\n", 1), 1) << Messages();
  EXPECT_EQ(W.MROWS, 3);
  // The dropped row left nothing in the row that the bound took.
  EXPECT_EQ(A(2, 0), 0);
  EXPECT_EQ(A(2, 1), 1);
}

TEST_F(ParserTest, LongNamesStayDistinct) {
  ASSERT_EQ(Parse("MAX PRODUCTION_A\r\nST\r\nPRODUCTION_A + PRODUCTION_B <= 4\r\nPRODUCTI <= 1\r\n"), 1);
  EXPECT_EQ(W.NSTRUC, 3);
  EXPECT_EQ(W.CNAME, "PRODUCTIPRODUCTIPRODUCTI");
  EXPECT_EQ(A(0, 0), -1);
  EXPECT_EQ(A(0, 1), 0);
}

TEST_F(ParserTest, LineFeedOnlyTextCountsLines) {
  ExpectRejected("MAX X\nST\nX <= 1\n\nFREE Q\n", L(5, T().msgUndefinedVar, "Q"));
}

TEST_F(ParserTest, EachParseStartsAfresh) {
  EXPECT_EQ(Parse("MAX X\r\nST\r\nX + Y <= 1\r\nFOO\r\n"), 0);
  ASSERT_EQ(Parse("MAX Z\r\nST\r\nZ <= 1\r\n"), 1);
  EXPECT_EQ(W.NSTRUC, 1);
  EXPECT_EQ(W.CNAME, "Z       ");
  EXPECT_EQ(W.AMAT, (std::vector<double>{-1, 1}));
  EXPECT_EQ(Messages(), Summary(2, 1));
}

// ---------------------------------------------------------------------------
// Messages, with their line numbers.

TEST_F(ParserTest, HeadingMessages) {
  ExpectRejected("", T().noInputData + "\r\n");
  EXPECT_EQ(W.NERR, 1);

  ExpectRejected("\r\nX + Y <= 3\r\n", L(2, T().msgBadHeading, "X"));
  ExpectRejected("MAX X + Y\r\n", T().msgNoSt);
  ExpectRejected("ST\r\n", T().msgNoObjective + T().msgNoConstraint + T().msgNoVariable);
  EXPECT_EQ(W.NERR, 3);

  ExpectRejected("MAX\r\nST\r\n", T().msgNoVariable);

  // A bare-number title is joined with the next word.
  EXPECT_EQ(Parse("TITLE 2004\r\nMAX 3X\r\nST\r\nX <= 1\r\n"), 0);
  EXPECT_EQ(run.P.g_modelTitle, "2004MAX");
  EXPECT_EQ(Messages(), L(2, T().msgBadHeading, "3X"));

  // An operator in a goal row: the word after it must be a heading.
  ExpectRejected("MAX X >= 3\r\nST\r\nX <= 1\r\n", L(1, T().msgBadHeading, "3"));
}

TEST_F(ParserTest, NameMessages) {
  ExpectRejected("MAX X\r\nST\r\nX + Y <= 3\r\n2 _Z >= 1\r\nQ(1) <= 2\r\n",
                 L(4, T().msgInvalidName, "_Z"));  // the counting pass ends there
  ExpectRejected("MAX X\r\nST\r\nX + Y 3 <= 10\r\n", L(3, T().msgInvalidName, "3"));
  ExpectRejected("MAX X\r\n5 >=\r\nST\r\nX <= 1\r\n",
                 L(2, T().msgInvalidName, "5") + L(2, T().msgGoalHasOperator, ">="));
  ExpectRejected("MAX X + Z + Y\r\nMIN Y\r\nST\r\nX + Y <= 1\r\n", L(1, T().msgUnregisteredVar, "Z"));
  EXPECT_EQ(A(1, 1), 1);  // the next goal row is still read

  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nFREE Q\r\nFIX X 1\r\n", L(4, T().msgUndefinedVar, "Q"));
  EXPECT_EQ(W.BNDFLG[0], 4);  // parsing went on

  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nGIN X Q\r\nFIX R\r\n",
                 L(4, T().msgUndefinedVar, "Q"));  // ends the counting pass
  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nINT Q X\r\n", L(4, T().msgUndefinedVar, "Q"));
  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nSUB Z 10\r\nFREE X\r\n",
                 L(4, T().msgUndefinedVar, "Z") + L(4, T().msgUndefinedDecl, "10"));
}

TEST_F(ParserTest, SignMessages) {
  ExpectRejected("MAX 3X 2Y\r\nST\r\nX + Y <= 4\r\n", L(1, T().msgMissingSign, "2Y"));
  EXPECT_EQ(A(0, 1), 0);  // not stored in a goal row

  EXPECT_EQ(Parse("MAX 3X\r\n2Y\r\nST\r\nX + Y <= 4\r\n"), 1);

  ExpectRejected("MAX X\r\nST\r\nX 2Y <= 4\r\n", L(3, T().msgMissingSign, "2Y"));
  EXPECT_EQ(A(1, 1), 2);  // stored in a constraint row
}

TEST_F(ParserTest, RightHandSideMessages) {
  ExpectRejected("MAX X\r\nST\r\nX <= B\r\nX >= 10X\r\nX = 3\r\n",
                 L(3, T().msgRhsNotNumber, "B") + L(4, T().msgRhsNotNumber, "10X"));
  EXPECT_EQ(W.XB, (std::vector<double>{0, 0, 0, 3}));

  ExpectRejected("MAX X\r\nST\r\nX + Y <= 1\r\nX + Y\r\nSUB X 3\r\n", L(5, T().msgRhsMissing));

  EXPECT_EQ(Parse("MAX X\r\nST\r\n10 <= X + Y <= 5\r\n10 <= X + Y >= 5\r\n1 = X = 1\r\n"), 0);
  // A number that is the last word of the text is read up to the end, so the
  // line count has passed the last line end.
  EXPECT_EQ(Messages(),
            L(3, T().msgRangeContradiction) + L(4, T().msgRangeContradiction) + L(6, T().msgRangeContradiction));
}

TEST_F(ParserTest, DeclarationMessages) {
  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nFIX X Y\r\n", L(4, T().msgFixNotNumber, "Y"));
  ExpectRejected("MAX X\r\nST\r\nX + Y + Z <= 1\r\nINT 4\r\n", L(4, T().msgTooManyInts, "INT 4"));
  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nEND\r\nFOO\r\nBAR\r\n", L(5, T().msgUndefinedDecl, "FOO"));
  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nSLB X -5\r\n", L(4, T().msgUndefinedDecl, "5"));
}

TEST_F(ParserTest, OperatorAtTheStartOfALineIsReported) {
  ExpectRejected("MAX X\r\nST\r\nX + Y\r\n<= 10\r\nX - Y >= 2\r\n", L(4, T().msgOperatorAtLineStart, "10"));
  // Read as the row that was meant; the next row reads normally.
  EXPECT_EQ(W.XB[1], 10);
  EXPECT_EQ(W.ROWTYP[1], kRowLess);

  // At the end of the text too (the line count has passed the last line end).
  ExpectRejected("MAX X\r\nST\r\nX + Y\r\n<= 10\r\n", L(5, T().msgOperatorAtLineStart, "10"));
}

// ---------------------------------------------------------------------------
// Bad input ends in messages or a clean return.

TEST_F(ParserTest, NumbersTooLongForADouble) {
  const std::string big(400, '9');
  ExpectRejected("MAX X\r\nST\r\n" + big + "X <= " + big + "\r\n",
                 L(3, T().msgNumberTooLarge, big + "X") + L(4, T().msgNumberTooLarge, big));
  EXPECT_EQ(Parse("MAX X\r\nST\r\nX <= 1" + std::string(300, '0') + "\r\n"), 1);  // 1e300 is a number
}

TEST_F(ParserTest, TooLargeForMemoryIsRefused) {
  // 400,000 rows and variables: a dense matrix of 1.28 terabytes.
  std::string text = "MAX X0\r\nST\r\n";
  for (int i = 0; i < 400000; ++i) text += "X" + std::to_string(i) + " >= 1\r\n";
  ExpectRejected(text, T().outOfMemory + "400001 ROWS x 400000 VARIABLES" + T().detailEnd);
  EXPECT_TRUE(W.AMAT.empty());
}

TEST_F(ParserTest, SizeRefusalFollowsTheMemoryTheProcessMayTake) {
  // Two rows and one variable: a matrix of two values (16 bytes).
  const std::string text = "MAX X\r\nST\r\nX <= 1\r\n";
  SetAvailableMemoryForTesting(16);
  EXPECT_EQ(Parse(text), 1);
  SetAvailableMemoryForTesting(15);
  ExpectRejected(text, T().outOfMemory + "2 ROWS x 1 VARIABLES" + T().detailEnd);
  SetAvailableMemoryForTesting(0);
  EXPECT_EQ(Parse(text), 1);
}

TEST_F(ParserTest, GarbageNeverCrashes) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 200; ++round) {
    std::string text(1 + rng() % 400, '\0');
    for (char& c : text) c = static_cast<char>(rng() & 0xFF);
    if (round % 2) text = "MAX X\r\nST\r\nX <= 1\r\n" + text;
    Parse(text, round % 3 == 0);
    EXPECT_EQ(W.NERR == 0, run.result.logText.find(T().summaryHas) != std::string::npos);
  }
}

TEST_F(ParserTest, AwkwardBytesAndSizes) {
  // NUL bytes are ordinary bytes of a word.
  const std::string nul("X\0Y", 3);
  EXPECT_EQ(Parse("MAX " + nul + "\r\nST\r\n" + nul + " <= 1\r\n"), 1);
  EXPECT_EQ(W.CNAME, std::string("X\0Y     ", 8));
  // A lead byte of a double-byte character as the last byte.
  ExpectRejected("MAX X\r\nST\r\nX <= 1\r\nFREE \x83", L(4, T().msgUndefinedVar, "\x83"));
  // A line of megabytes, and thousands of operators in a row.
  std::string line = "MAX X\r\nST\r\n";
  for (int i = 0; i < 200000; ++i) line += " + X";
  EXPECT_EQ(Parse(line + " <= 1\r\n"), 1);
  EXPECT_EQ(Parse("MAX X\r\nST\r\nX " + std::string(1 << 20, 'Z') + " <= 1\r\n"), 0);
  EXPECT_EQ(Parse("MAX X\r\nST\r\nX " + std::string(20000, '<') + " 1\r\n"), 0);
  EXPECT_EQ(Parse("MAX X " + std::string(20000, '=') + "\r\nST\r\nX <= 1\r\n"), 0);
  EXPECT_EQ(Parse(std::string(20000, ',') + std::string(20000, '!')), 0);
}

}  // namespace
}  // namespace tavo
