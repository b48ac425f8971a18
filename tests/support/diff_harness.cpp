#include "tests/support/diff_harness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>

#include "shell/codec.h"
#include "shell/settings.h"
#include "solver/workspace.h"

namespace tavo::testsupport {

namespace {

struct Comparison {
  bool referenceFailed = false;  // the reference gave no answer: nothing compared
  bool mismatch = false;
  RefStatus tavoStatus = RefStatus::kFailed;
  RefStatus refStatus = RefStatus::kFailed;
  std::string detail;  // what differs, with both answers (empty when they agree)
  TavoOutcome tavo;
};

struct FamilySummary {
  int models = 0;
  int optimal = 0, infeasible = 0, unbounded = 0;
  int referenceFailed = 0;
  int mismatches = 0;
  long long tavoIterations = 0;
  int tavoNodes = 0;
  std::string report;  // the first mismatches in full (model text included)
};

// Tolerances of the comparison. The reports round activities to six
// decimals (the ROUND setting is on by default), so an activity may carry
// 5e-7 of rounding, and a row sum that much times its coefficients.
constexpr double kValueTol = 1e-6;
constexpr double kFeasTol = 1e-6;
constexpr double kRounding = 5e-7;
// Mismatches per family that are shrunk to a small model.
constexpr int kShrunk = 2;

std::string Describe(const Model& model, const TavoOutcome& t, const std::vector<double>& x, const LexOutcome& lex) {
  std::ostringstream s;
  s.precision(12);
  s << "TAVO: ";
  if (!t.parsed) {
    s << "model rejected";
  } else {
    s << "result code " << t.resultCode;
    if (t.resultCode == kResultOptimal) {
      s << ", goals";
      for (int g = 0; g < static_cast<int>(model.goals.size()); ++g)
        s << " " << TavoGoalValue(t, g, model.goals[g].maximize);
      s << (t.xFromReport ? ", x (columns report) =" : ", x =");
      for (double v : x) s << " " << v;
    }
    s << ", " << t.iterations << " iterations";
    if (t.nodesSolved) s << ", " << t.nodesSolved << " nodes";
  }
  s << "\nreference: " << RefStatusName(lex.status);
  if (lex.status != RefStatus::kOptimal) s << " at level " << lex.level + 1;
  if (!lex.goals.empty()) {
    s << ", goals";
    for (double v : lex.goals) s << " " << v;
  }
  if (lex.status == RefStatus::kOptimal) {
    s << ", x =";
    for (double v : lex.x) s << " " << v;
  }
  s << "\n";
  return s.str();
}

}  // namespace

namespace {

// One model solved by TAVO with `settings` and by the reference, compared.
Comparison CompareModel(const Model& model, RefSolver solver, const std::string& dir, const SolverSettings& settings) {
  Comparison c;
  const bool mip = model.HasIntegers();
  std::string text = WriteTavoModel(model);
  c.tavo = SolveWithTavo(text, settings);
  LexOutcome lex = SolveLexicographic(solver, model, dir);
  c.refStatus = lex.status;
  if (lex.status == RefStatus::kFailed) {
    c.referenceFailed = true;
    c.detail = lex.detail + "\nmodel text:\n" + CrLfToLf(text);
    return c;
  }
  std::ostringstream why;
  why.precision(12);
  std::vector<double> x;  // TAVO's activities in the model's variable order
  if (!c.tavo.parsed) {
    why << "the model text was rejected:\n" << CrLfToLf(Cp932ToUtf8(c.tavo.log)) << "\n";
  } else {
    c.tavoStatus = StatusOfResultCode(c.tavo.resultCode);
    if (c.tavoStatus != lex.status) {
      why << "status differs: TAVO " << RefStatusName(c.tavoStatus) << " (code " << c.tavo.resultCode << "), reference "
          << RefStatusName(lex.status) << "\n";
    } else if (c.tavoStatus == RefStatus::kOptimal) {
      if (!InModelOrder(c.tavo, model, x)) {
        why << "TAVO's columns do not match the model's variables\n";
      } else if (c.tavo.goalActivity.size() != model.goals.size()) {
        why << "TAVO reported " << c.tavo.goalActivity.size() << " goal values for " << model.goals.size()
            << " goals\n";
      } else {
        for (int g = 0; g < static_cast<int>(model.goals.size()); ++g) {
          const Goal& goal = model.goals[g];
          double reported = TavoGoalValue(c.tavo, g, goal.maximize);
          double fromX = GoalValue(model, g, x);
          double absSum = 0;
          for (const Term& t : goal.terms) absSum += std::fabs(t.coef);
          if (!Agree(reported, lex.goals[g], kValueTol))
            why << "goal " << g + 1 << ": TAVO " << reported << ", reference " << lex.goals[g] << "\n";
          if (std::fabs(fromX - reported) > kValueTol * std::max(1.0, std::fabs(reported)) + kRounding * absSum)
            why << "goal " << g + 1 << ": reported " << reported << " but the reported activities give " << fromX
                << "\n";
        }
        if (!c.tavo.xFromReport) {
          // The columns report prints the same activities (10 significant digits).
          std::vector<double> printed;
          if (!ParseColumnsReport(c.tavo.columnsText, static_cast<int>(model.vars.size()), printed)) {
            why << "the columns report does not list every column\n";
          } else {
            for (std::size_t j = 0; j < printed.size(); ++j)
              if (!Agree(printed[j], c.tavo.x[j], 1e-9))
                why << "column " << j + 1 << ": report prints " << printed[j] << ", XACT holds " << c.tavo.x[j] << "\n";
          }
        }
        std::string infeasible = CheckFeasible(model, x, kFeasTol, kRounding, mip);
        if (!infeasible.empty()) why << "TAVO's activities are not feasible: " << infeasible << "\n";
      }
    }
  }
  c.detail = why.str();
  c.mismatch = !c.detail.empty();
  if (c.mismatch) c.detail += Describe(model, c.tavo, x, lex) + "model text:\n" + CrLfToLf(text);
  return c;
}

// A smaller model that still shows a mismatch: rows, terms, goals and
// bounds are dropped and coefficients simplified one at a time for as long
// as the comparison keeps failing. Returns the model unchanged when it
// agrees with the reference.
Model ShrinkMismatch(const Model& model, RefSolver solver, const std::string& dir, const SolverSettings& settings) {
  // Each try is one TAVO solve and one reference solve per goal level; the
  // budget keeps a badly broken solver from making the suite crawl.
  int budget = 400;
  auto fails = [&](const Model& m) {
    if (budget-- <= 0) return false;
    Comparison c = CompareModel(m, solver, dir, settings);
    return !c.referenceFailed && c.mismatch;
  };
  Model best = model;
  if (!fails(best)) return best;
  bool changed = true;
  // Keeps a change of the best model when the mismatch survives it.
  auto attempt = [&](const std::function<void(Model&)>& change) {
    Model t = best;
    change(t);
    if (fails(t)) best = t, changed = true;
  };
  int rounds = 0;
  while (changed && rounds++ < 20) {
    changed = false;
    // Whole rows, then lower-priority goals.
    for (std::size_t i = best.rows.size(); i-- > 0;)
      attempt([&](Model& t) { t.rows.erase(t.rows.begin() + static_cast<long>(i)); });
    for (std::size_t g = best.goals.size(); g-- > 1;)
      attempt([&](Model& t) { t.goals.erase(t.goals.begin() + static_cast<long>(g)); });
    // Single terms of rows (never the last one) and of goals.
    for (std::size_t i = 0; i < best.rows.size(); ++i)
      for (std::size_t k = best.rows[i].terms.size(); k-- > 0 && best.rows[i].terms.size() > 1;)
        attempt([&](Model& t) { t.rows[i].terms.erase(t.rows[i].terms.begin() + static_cast<long>(k)); });
    for (std::size_t g = 0; g < best.goals.size(); ++g)
      for (std::size_t k = best.goals[g].terms.size(); k-- > 0;)
        attempt([&](Model& t) { t.goals[g].terms.erase(t.goals[g].terms.begin() + static_cast<long>(k)); });
    // Bounds back to the default, integer variables made continuous.
    for (std::size_t j = 0; j < best.vars.size(); ++j) {
      if (best.vars[j].lower != 0 || best.vars[j].upper != kInf)
        attempt([&](Model& t) {
          t.vars[j].lower = 0;
          t.vars[j].upper = kInf;
          if (t.vars[j].kind == VarKind::kBinary) t.vars[j].kind = VarKind::kInteger;
        });
      if (best.vars[j].kind != VarKind::kContinuous) attempt([&](Model& t) { t.vars[j].kind = VarKind::kContinuous; });
    }
    // Coefficients (other than 1 and -1) and right-hand sides made plainer.
    auto plainer = [](double c) { return c > 0 ? 1.0 : -1.0; };
    for (std::size_t i = 0; i < best.rows.size(); ++i) {
      for (std::size_t k = 0; k < best.rows[i].terms.size(); ++k)
        if (std::fabs(best.rows[i].terms[k].coef) != 1)
          attempt([&](Model& t) { t.rows[i].terms[k].coef = plainer(t.rows[i].terms[k].coef); });
      if (best.rows[i].sense != Sense::kRange && best.rows[i].rhs != 0) attempt([&](Model& t) { t.rows[i].rhs = 0; });
    }
    for (std::size_t g = 0; g < best.goals.size(); ++g)
      for (std::size_t k = 0; k < best.goals[g].terms.size(); ++k)
        if (std::fabs(best.goals[g].terms[k].coef) != 1)
          attempt([&](Model& t) { t.goals[g].terms[k].coef = plainer(t.goals[g].terms[k].coef); });
  }
  // Variables that no longer appear anywhere are dropped, the rest renumbered.
  std::vector<int> used(best.vars.size(), 0);
  for (const Row& r : best.rows)
    for (const Term& t : r.terms) used[t.var] = 1;
  for (const Goal& g : best.goals)
    for (const Term& t : g.terms) used[t.var] = 1;
  Model compact = best;
  compact.vars.clear();
  std::vector<int> index(best.vars.size(), -1);
  for (std::size_t j = 0; j < best.vars.size(); ++j) {
    if (!used[j]) continue;
    index[j] = static_cast<int>(compact.vars.size());
    Var v = best.vars[j];
    v.name = "X" + std::to_string(compact.vars.size() + 1);
    compact.vars.push_back(v);
  }
  for (Row& r : compact.rows)
    for (Term& t : r.terms) t.var = index[t.var];
  for (Goal& g : compact.goals)
    for (Term& t : g.terms) t.var = index[t.var];
  if (!compact.vars.empty() && fails(compact)) return compact;
  return best;
}

// Solves `count` random models drawn with seeds seedBase, seedBase+1, ...
// and compares each. The report lists the first `maxReported` mismatches,
// each followed by a shrunk model that still shows it.
FamilySummary RunFamily(const GenOptions& options, std::uint64_t seedBase, int count, RefSolver solver, int maxReported,
                        const SolverSettings& settings) {
  FamilySummary s;
  ScratchDir dir;
  for (int k = 0; k < count; ++k) {
    std::uint64_t seed = seedBase + static_cast<std::uint64_t>(k);
    Rng rng(seed);
    Model model = RandomModel(rng, options);
    Comparison c = CompareModel(model, solver, dir.path(), settings);
    ++s.models;
    if (c.referenceFailed) {
      if (s.referenceFailed < maxReported)
        s.report += "---- no reference answer, seed " + std::to_string(seed) + ":\n" + c.detail + "\n";
      ++s.referenceFailed;
      continue;
    }
    switch (c.refStatus) {
      case RefStatus::kOptimal:
        ++s.optimal;
        break;
      case RefStatus::kInfeasible:
        ++s.infeasible;
        break;
      case RefStatus::kUnbounded:
        ++s.unbounded;
        break;
      default:
        break;
    }
    s.tavoIterations += c.tavo.iterations;
    s.tavoNodes += c.tavo.nodesSolved;
    if (c.mismatch) {
      if (s.mismatches < maxReported) {
        s.report += "---- mismatch, seed " + std::to_string(seed) + ":\n" + c.detail + "\n";
      }
      if (s.mismatches < kShrunk) {
        Model small = ShrinkMismatch(model, solver, dir.path(), settings);
        Comparison again = CompareModel(small, solver, dir.path(), settings);
        if (again.mismatch) s.report += "-- the same kind of mismatch, shrunk:\n" + again.detail + "\n";
      }
      ++s.mismatches;
    }
  }
  return s;
}

std::string SummaryLine(const std::string& family, const FamilySummary& s) {
  std::ostringstream o;
  o << family << ": " << s.models << " models (" << s.optimal << " optimal, " << s.infeasible << " infeasible, "
    << s.unbounded << " unbounded, " << s.referenceFailed << " without reference answer), " << s.mismatches
    << " mismatches, " << s.tavoIterations << " TAVO iterations";
  if (s.tavoNodes) o << ", " << s.tavoNodes << " nodes";
  return o.str();
}

}  // namespace

void PrintTo(const FamilyCase& family, std::ostream* os) { *os << family.name; }

std::string FamilyName(const testing::TestParamInfo<FamilyCase>& info) { return info.param.name; }

void ExpectFamilyAgrees(const FamilyCase& family) {
  if (family.solver == RefSolver::kGlpsol && !HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  if (family.solver == RefSolver::kCbc && !HaveCbc()) GTEST_SKIP() << "cbc is not installed";
  SolverSettings settings = DefaultSettings();
  if (family.noInvert) settings.NOINVERT = family.noInvert;
  const FamilySummary s = RunFamily(family.options, family.seedBase, family.count, family.solver, 3, settings);
  const std::string summary = SummaryLine(family.name, s);
  std::printf("%s\n", summary.c_str());
  EXPECT_EQ(s.mismatches, 0) << summary << "\n" << s.report;
  EXPECT_EQ(s.referenceFailed, 0) << "the reference gave no answer for some models\n" << s.report;
  // The family must exercise the solver, not only the parser.
  EXPECT_GT(s.optimal, family.count / 4) << summary;
}

}  // namespace tavo::testsupport
