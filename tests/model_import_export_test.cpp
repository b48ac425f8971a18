// Import of MPS and CPLEX LP files into model text and export of model text
// to LP and MPS: the readers, the changes the import must make (each with
// its note), and round trips through TAVO's own parser.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "model/exchange_model.h"
#include "model/lp_reader.h"
#include "model/model_export.h"
#include "model/model_import.h"
#include "model/model_writers.h"
#include "model/mps_reader.h"
#include "tests/support/model_writer.h"

namespace tavo::exchange {
namespace {

// A row in a comparable form: two-sided rows split into their finite sides,
// zero coefficients dropped, terms by variable name.
using FlatRow = std::tuple<std::vector<std::pair<std::string, double>>, char, double>;

std::vector<std::pair<std::string, double>> Named(const Model& m, const std::vector<Term>& terms) {
  std::vector<std::pair<std::string, double>> out;
  for (const Term& t : terms)
    if (t.coef != 0) out.emplace_back(m.vars[t.var].name, t.coef);
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<FlatRow> FlatRows(const Model& m) {
  std::vector<FlatRow> out;
  for (const Row& original : m.rows) {
    const Row r = Plain(original);
    const auto terms = Named(m, r.terms);
    if (terms.empty()) continue;  // a row of zero terms restricts nothing
    switch (r.sense) {
      case Sense::kLe:
        out.emplace_back(terms, 'L', r.rhs);
        break;
      case Sense::kGe:
        out.emplace_back(terms, 'G', r.rhs);
        break;
      case Sense::kEq:
        out.emplace_back(terms, 'E', r.rhs);
        break;
      case Sense::kRange:
        if (r.lo != -kInf) out.emplace_back(terms, 'G', r.lo);
        if (r.hi != kInf) out.emplace_back(terms, 'L', r.hi);
        break;
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The two models state the same program: variables by name (bounds, kinds),
// goals in order with their senses, and rows up to order and splitting.
void ExpectSameModel(const Model& a, const Model& b) {
  ASSERT_EQ(a.vars.size(), b.vars.size());
  std::map<std::string, int> inB;
  for (std::size_t j = 0; j < b.vars.size(); ++j) inB[b.vars[j].name] = static_cast<int>(j);
  for (std::size_t j = 0; j < a.vars.size(); ++j) {
    SCOPED_TRACE(a.vars[j].name);
    auto it = inB.find(a.vars[j].name);
    ASSERT_NE(it, inB.end());
    const int k = it->second;
    EXPECT_EQ(a.Lower(static_cast<int>(j)), b.Lower(k));
    EXPECT_EQ(a.Upper(static_cast<int>(j)), b.Upper(k));
    EXPECT_EQ(a.vars[j].kind == VarKind::kContinuous, b.vars[k].kind == VarKind::kContinuous);
  }
  ASSERT_EQ(a.goals.size(), b.goals.size());
  for (std::size_t g = 0; g < a.goals.size(); ++g) {
    EXPECT_EQ(a.goals[g].maximize, b.goals[g].maximize) << "goal " << g + 1;
    EXPECT_EQ(Named(a, a.goals[g].terms), Named(b, b.goals[g].terms)) << "goal " << g + 1;
  }
  EXPECT_EQ(FlatRows(a), FlatRows(b));
}

ImportOutcome Import(const std::string& text, SourceFormat format) {
  ImportOutcome out;
  std::string error;
  EXPECT_TRUE(ImportModelText(text, format, "test", out, error)) << error;
  return out;
}

std::string ImportError(const std::string& text, SourceFormat format) {
  ImportOutcome out;
  std::string error;
  EXPECT_FALSE(ImportModelText(text, format, "test", out, error));
  return error;
}

bool HasNote(const ImportOutcome& o, const std::string& part) {
  for (const std::string& n : o.notes)
    if (n.find(part) != std::string::npos) return true;
  return false;
}

// The written model text, read by TAVO's parser, is the imported model.
void ExpectReadsBack(const ImportOutcome& o) {
  Model parsed;
  std::string messages;
  ASSERT_TRUE(ParseModelForExport(o.modelText, parsed, messages)) << messages << "\n" << o.modelText;
  ExpectSameModel(o.model, parsed);
}

const char* kFixedMps =
    "NAME          SMALL\n"
    "ROWS\n"
    " N  COST\n"
    " L  LIM1\n"
    " G  LIM2\n"
    " E  MYEQN\n"
    "COLUMNS\n"
    "    X1        COST         1.0   LIM1         1.0\n"
    "    X1        LIM2         1.0\n"
    "    MARKER                 'MARKER'                 'INTORG'\n"
    "    X2        COST         2.0   LIM1         1.0\n"
    "    X2        MYEQN       -1.0\n"
    "    MARKER                 'MARKER'                 'INTEND'\n"
    "    X3        COST        -1.0   MYEQN        1.0\n"
    "RHS\n"
    "    RHS       COST        -7.5\n"
    "    RHS       LIM1         4.0   LIM2         1.0\n"
    "    RHS       MYEQN        7.0\n"
    "RANGES\n"
    "    RNG       LIM1         2.5\n"
    "BOUNDS\n"
    " UP BND       X1           4.0\n"
    " UP BND       X2           9.0\n"
    " LO BND       X3           1.5\n"
    "ENDATA\n";

TEST(MpsReader, ReadsSectionsMarkersRangesAndBounds) {
  MpsModel m;
  std::string error;
  ASSERT_TRUE(ReadMpsText(kFixedMps, m, error)) << error;
  ASSERT_EQ(m.model.vars.size(), 3u);
  EXPECT_EQ(m.model.vars[0].name, "X1");
  EXPECT_EQ(m.model.vars[1].kind, VarKind::kInteger);
  EXPECT_EQ(m.model.vars[1].upper, 9);
  EXPECT_EQ(m.model.vars[2].lower, 1.5);
  ASSERT_EQ(m.model.rows.size(), 3u);
  EXPECT_EQ(m.model.rows[0].label, "LIM1");
  EXPECT_EQ(m.model.rows[0].sense, Sense::kRange);
  EXPECT_EQ(m.model.rows[0].lo, 1.5);
  EXPECT_EQ(m.model.rows[0].hi, 4);
  EXPECT_EQ(m.objectiveRhs, -7.5);
  EXPECT_EQ(m.model.goalNames, std::vector<std::string>{"COST"});
}

TEST(MpsReader, ReadsGzipCompressedFiles) {
  const std::string path = testing::TempDir() + "/small_import.mps.gz";
  gzFile f = gzopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  gzputs(f, kFixedMps);
  gzclose(f);
  MpsModel m;
  std::string error;
  ASSERT_TRUE(ReadMpsFile(path, m, error)) << error;
  EXPECT_EQ(m.model.vars.size(), 3u);
  std::remove(path.c_str());
}

TEST(MpsReader, RejectsMalformedFilesWithTheLine) {
  MpsModel m;
  std::string error;
  EXPECT_FALSE(ReadMpsText("NAME X\nROWS\n N COST\nCOLUMNS\n X1 NOROW 1\nENDATA\n", m, error));
  EXPECT_NE(error.find("line 5"), std::string::npos) << error;
  EXPECT_FALSE(ReadMpsText("NAME X\nROWS\n N COST\n", m, error));
  EXPECT_EQ(error, "no ENDATA line");
}

TEST(Import, FixedMpsReadsBackWithConstantAndIntegers) {
  ImportOutcome o = Import(kFixedMps, SourceFormat::kMps);
  EXPECT_NE(o.modelText.find("! objective constant 7.5"), std::string::npos) << o.modelText;
  EXPECT_NE(o.namesJson.find("\"objectiveConstant\": 7.5"), std::string::npos) << o.namesJson;
  EXPECT_TRUE(HasNote(o, "objective constant 7.5"));
  EXPECT_NE(o.modelText.find("GIN X2"), std::string::npos) << o.modelText;
  ExpectReadsBack(o);
}

// Each edge case of the import: the input, a piece of the note it must give,
// and a piece of the model text it must write.
struct EdgeCase {
  const char* what;
  const char* lp;
  const char* note;
  const char* text;
};

const EdgeCase kEdgeCases[] = {
    {"negative lower bound", "min\n x + y\nst\n c: x + y >= 1\nbounds\n -4 <= x <= 3\nend\n", "negative bounds",
     "1 X >= - 4"},
    {"negative upper bound", "min\n x + y\nst\n c: x + y >= 1\nbounds\n x <= -2\n x >= -inf\nend\n", "negative bounds",
     "1 X <= - 2"},
    {"free column", "min\n x + y\nst\n c: x + y >= 1\nbounds\n x free\nend\n", "", "FREE X"},
    {"fixed column", "min\n x + y\nst\n c: x + y >= 1\nbounds\n x = 2\nend\n", "", "FIX X 2"},
    {"long name", "min\n averylongname + y\nst\n c: averylongname + y >= 1\nend\n", "not valid model names", "C1"},
    {"name holding a parenthesis", "min\n x(1) + y\nst\n c: x(1) + y >= 1\nend\n", "not valid model names", "C1"},
    {"reserved word", "min\n y + max\nst\n c: y + max >= 1\nend\n", "not valid model names", "C2"},
    {"column in no row", "min\n x + y + z\nst\n c: x + y >= 1\nend\n", "stand in no row", "UNUSED) 0 Z >= 0"},
    {"objective constant", "min\n x + y + 12.5\nst\n c: x + y >= 1\nend\n", "objective constant 12.5",
     "! objective constant 12.5"},
    {"integer with bounds", "min\n x + y\nst\n c: x + y >= 1\nbounds\n 2 <= x <= 9\ngeneral\n x\nend\n", "", "GIN X"},
    {"binary", "min\n x + y\nst\n c: x + y >= 1\nbinary\n x\nend\n", "", "INT X"},
    {"row name with other characters", "min\n x + y\nst\n c#1: x + y >= 1\nend\n", "row names", "R1) "},
};

TEST(Import, EdgeCasesSayItAnotherWayAndTellTheUser) {
  for (const EdgeCase& c : kEdgeCases) {
    SCOPED_TRACE(c.what);
    ImportOutcome o = Import(c.lp, SourceFormat::kLp);
    if (*c.note) {
      EXPECT_TRUE(HasNote(o, c.note)) << testing::PrintToString(o.notes);
    }
    EXPECT_NE(o.modelText.find(c.text), std::string::npos) << o.modelText;
    // Whatever was changed, the text is valid model text.
    Model parsed;
    std::string messages;
    EXPECT_TRUE(ParseModelForExport(o.modelText, parsed, messages)) << messages << o.modelText;
  }
}

TEST(Import, RenamedNamesKeepTheirOriginalsInTheNameMap) {
  ImportOutcome o = Import(
      "NAME T\nROWS\n N obj\n L 1st-row\nCOLUMNS\n x+y obj 1 1st-row 1\n 9z obj 1 1st-row 1\n"
      " averyveryverylongname 1st-row 1\nRHS\n rhs 1st-row 5\nENDATA\n",
      SourceFormat::kMps);
  EXPECT_NE(o.namesJson.find("\"C1\": \"x+y\""), std::string::npos) << o.namesJson;
  EXPECT_NE(o.namesJson.find("\"C2\": \"9z\""), std::string::npos) << o.namesJson;
  EXPECT_NE(o.namesJson.find("\"C3\": \"averyveryverylongname\""), std::string::npos) << o.namesJson;
  EXPECT_NE(o.namesJson.find("\"R1\": \"1st-row\""), std::string::npos) << o.namesJson;
  EXPECT_TRUE(HasNote(o, "x+y -> C1"));
  ExpectReadsBack(o);
}

TEST(Import, NamesThatClashAfterUpperCasingStayApart) {
  ImportOutcome o = Import("min\n x + X\nst\n c: x + 2 X >= 1\nend\n", SourceFormat::kLp);
  ASSERT_EQ(o.model.vars.size(), 2u);
  EXPECT_NE(o.model.vars[0].name, o.model.vars[1].name);
  ExpectReadsBack(o);
}

TEST(Import, IntegerColumnThatMayBeNegativeIsRefused) {
  EXPECT_NE(ImportError("min\n x\nst\n c: x >= -3\nbounds\n -5 <= x <= 3\ngeneral\n x\nend\n", SourceFormat::kLp)
                .find("integer column x may take negative values"),
            std::string::npos);
  EXPECT_NE(ImportError("NAME T\nROWS\n N obj\n G c\nCOLUMNS\n M 'MARKER' 'INTORG'\n x obj 1 c 1\n"
                        " M 'MARKER' 'INTEND'\nBOUNDS\n MI BND x\nENDATA\n",
                        SourceFormat::kMps)
                .find("cannot branch"),
            std::string::npos);
}

TEST(Import, ValuesThatAreNotNumbersAreRefused) {
  EXPECT_NE(
      ImportError("NAME T\nROWS\n N obj\n L c\nCOLUMNS\n x obj 1 c 1\nRHS\n rhs c nan\nENDATA\n", SourceFormat::kMps)
          .find("not a number"),
      std::string::npos);
  EXPECT_NE(ImportError("NAME T\nROWS\n N obj\n L c\nCOLUMNS\n x obj 1 c nan\nENDATA\n", SourceFormat::kMps)
                .find("not a finite number"),
            std::string::npos);
  EXPECT_NE(ImportError("NAME T\nROWS\n N obj\n L c\nCOLUMNS\n x obj 1 c 1\nBOUNDS\n UP BND x nan\nENDATA\n",
                        SourceFormat::kMps)
                .find("not a number"),
            std::string::npos);
}

TEST(Import, UnsupportedAndMalformedLpFilesAreRefusedWithTheLine) {
  EXPECT_NE(ImportError("min\n x\nst\n c: x + [ x ^ 2 ] >= 1\nend\n", SourceFormat::kLp).find("quadratic"),
            std::string::npos);
  EXPECT_NE(ImportError("min\n x\nst\n c: x >= 1\nsos\n s1: S1:: x:1\nend\n", SourceFormat::kLp).find("line 5"),
            std::string::npos);
  EXPECT_NE(ImportError("st\n c: x >= 1\nend\n", SourceFormat::kLp).find("Minimize or Maximize"), std::string::npos);
  EXPECT_NE(ImportError("min\n x\nst\n c: x >= \nend\n", SourceFormat::kLp).find("line"), std::string::npos);
}

TEST(Import, LpMultiObjectiveBecomesGoalRowsInPriorityOrder) {
  ImportOutcome o = Import(
      "Maximize multi-objectives\n"
      " low: Priority=1 Weight=-1 AbsTol=0 RelTol=0\n  ot\n"
      " high: Priority=5 Weight=1\n  3 x + 2 y\n"
      "Subject To\n c1: x + y <= 40\n c2: 2 x + y - ot <= 60\n r: 10 <= x <= 30\nEnd\n",
      SourceFormat::kLp);
  ASSERT_EQ(o.model.goals.size(), 2u);
  EXPECT_TRUE(o.model.goals[0].maximize);   // maximise 3x + 2y
  EXPECT_FALSE(o.model.goals[1].maximize);  // maximise -ot: minimise ot
  EXPECT_EQ(o.modelText.substr(0, 27), "MAX 3 X + 2 Y\r\nMIN 1 OT\r\nST");
  EXPECT_TRUE(HasNote(o, "2 prioritised objectives"));
  ExpectReadsBack(o);
}

TEST(Import, MpsObjectivesWithPrioritiesBecomeGoalRows) {
  ImportOutcome o = Import(
      "NAME M\nROWS\n N second 1 -1 0 0\n N first 2 1 0 0\n L c\nCOLUMNS\n x first 1 c 1\n y second 1 c 1\n"
      "RHS\n rhs c 4\nENDATA\n",
      SourceFormat::kMps);
  ASSERT_EQ(o.model.goals.size(), 2u);
  EXPECT_EQ(o.model.goalNames[0], "first");
  EXPECT_FALSE(o.model.goals[0].maximize);
  EXPECT_TRUE(o.model.goals[1].maximize);
  ExpectReadsBack(o);
}

// Damaged files end in a reason or in a model, never in a crash; whatever
// is imported reads back as model text.
TEST(Import, DamagedFilesNeverCrash) {
  const std::string lp =
      "Maximize multi-objectives\n a: Priority=2 Weight=1\n  3 x + 2 y\n b: Priority=1\n  ot\n"
      "Subject To\n c1: x + y <= 40\n c2: -2 <= 2 x + y - ot <= 60\nBounds\n -1 <= y <= 25\nGeneral\n x\nEnd\n";
  testsupport::Rng rng(7);
  const char bytes[] = " \n:+-<>=[]^*\\0123456789.eExyz";
  for (int k = 0; k < 600; ++k) {
    std::string text = k % 2 ? lp : std::string(kFixedMps);
    for (int edits = rng.Int(1, 4); edits > 0; --edits) {
      const std::size_t at = static_cast<std::size_t>(rng.Int(0, static_cast<int>(text.size()) - 1));
      switch (rng.Int(0, 2)) {
        case 0:
          text.erase(at, static_cast<std::size_t>(rng.Int(1, 6)));
          break;
        case 1:
          text[at] = bytes[rng.Int(0, static_cast<int>(sizeof bytes) - 2)];
          break;
        default:
          text.insert(at, 1, bytes[rng.Int(0, static_cast<int>(sizeof bytes) - 2)]);
      }
    }
    ImportOutcome out;
    std::string error;
    if (!ImportModelText(text, k % 2 ? SourceFormat::kLp : SourceFormat::kMps, "damaged", out, error)) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    Model parsed;
    std::string messages;
    EXPECT_TRUE(ParseModelForExport(out.modelText, parsed, messages)) << text << "\n" << out.modelText;
  }
}

// Generated goal programs: model text -> TAVO's parser -> LP (all levels as
// prioritised objectives) and free MPS -> the readers: the same model.
TEST(Export, GeneratedGoalProgramsReadBackFromLpAndMps) {
  testsupport::Rng rng(20261207);
  testsupport::GenOptions gen;
  gen.maxGoals = 3;
  gen.intChance = 0.15;
  gen.binChance = 0.1;
  gen.negBoundChance = 0.1;
  for (int k = 0; k < 60; ++k) {
    SCOPED_TRACE("model " + std::to_string(k));
    const Model original = testsupport::RandomModel(rng, gen);
    Model parsed;
    std::string messages;
    ASSERT_TRUE(ParseModelForExport(WriteTavoModel(original), parsed, messages)) << messages;
    ASSERT_EQ(parsed.goals.size(), original.goals.size());
    for (std::size_t g = 0; g < parsed.goals.size(); ++g)
      EXPECT_EQ(parsed.goals[g].maximize, original.goals[g].maximize);

    const std::string lp = parsed.goals.size() > 1 ? WriteLpMultiObjective(parsed) : WriteLpFormat(parsed, 0, {});
    LpModel fromLp;
    std::string error;
    ASSERT_TRUE(ReadLpText(lp, fromLp, error)) << error << "\n" << lp;
    ExpectSameModel(parsed, fromLp.model);

    MpsModel fromMps;
    const std::string mps = WriteFreeMps(parsed, -1, {});
    ASSERT_TRUE(ReadMpsText(mps, fromMps, error)) << error << "\n" << mps;
    ExpectSameModel(parsed, fromMps.model);
    if (HasFailure()) break;
  }
}

TEST(Export, LevelHoldsTheEarlierGoals) {
  Model parsed;
  std::string messages;
  ASSERT_TRUE(ParseModelForExport("MAX 3X + 2Y\r\nMIN OT\r\nST\r\nX + Y <= 40\r\n2X + Y - OT <= 60\r\nEND\r\n", parsed,
                                  messages));
  const std::string lp = WriteLpFormat(parsed, 1, {100}, 0);
  EXPECT_NE(lp.find("Minimize"), std::string::npos) << lp;
  EXPECT_NE(lp.find("3 X + 2 Y >= 100"), std::string::npos) << lp;
  const std::string mps = WriteFreeMps(parsed, 1, {100}, 0);
  MpsModel back;
  std::string error;
  ASSERT_TRUE(ReadMpsText(mps, back, error)) << error;
  ASSERT_EQ(back.model.goals.size(), 1u);
  ASSERT_EQ(back.model.rows.size(), 3u);
  EXPECT_EQ(back.model.rows[2].sense, Sense::kGe);
  EXPECT_EQ(back.model.rows[2].rhs, 100);
}

TEST(Export, ModelWithDataErrorsGivesTheParserMessages) {
  Model parsed;
  std::string messages;
  EXPECT_FALSE(ParseModelForExport("MAX 3X 2Y\r\nST\r\nX + Y <= 4\r\nEND\r\n", parsed, messages));
  EXPECT_NE(messages.find("Line"), std::string::npos) << messages;
}

TEST(Formats, NumbersReadBackExactly) {
  for (double v : {0.1, 1.0 / 3, 1e-12, 123456789.125, 4e20, 40.0}) {
    EXPECT_EQ(std::strtod(FormatShort(v).c_str(), nullptr), v);
    EXPECT_EQ(std::strtod(FormatShort(-v).c_str(), nullptr), -v);
    EXPECT_EQ(std::strtod(FormatFixed(v).c_str(), nullptr), v);
  }
  EXPECT_EQ(FormatShort(40), "40");
  EXPECT_EQ(FormatOfPath("a/b.LP.gz"), SourceFormat::kLp);
  EXPECT_EQ(FormatOfPath("a.lp/b.mps"), SourceFormat::kMps);
}

}  // namespace
}  // namespace tavo::exchange
