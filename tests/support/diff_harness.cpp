#include "tests/support/diff_harness.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "shell/settings.h"
#include "solver/workspace.h"

namespace tavo::testsupport {

namespace {

// Tolerances of the comparison. The reports round activities to six
// decimals (the ROUND setting is on by default), so an activity may carry
// 5e-7 of rounding, and a row sum that much times its coefficients.
constexpr double kValueTol = 1e-6;
constexpr double kFeasTol = 1e-6;
constexpr double kRounding = 5e-7;

std::string Describe(const Model& model, const TavoOutcome& t, const LexOutcome& lex) {
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
      for (double v : t.x) s << " " << v;
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

RefStatus StatusOfResultCode(int code) {
  switch (code) {
    case kResultOptimal: return RefStatus::kOptimal;
    case kResultInfeasible: return RefStatus::kInfeasible;
    case kResultUnbounded: return RefStatus::kUnbounded;
    default: return RefStatus::kFailed;
  }
}

bool Agree(double a, double b, double tol) { return std::fabs(a - b) <= tol * std::max(1.0, std::fabs(b)); }

Comparison CompareModel(const Model& model, RefSolver solver, const std::string& dir) {
  Comparison c;
  const bool mip = model.HasIntegers();
  std::string text = WriteTavoModel(model);
  c.tavo = SolveWithTavo(text, DefaultSettings());
  LexOutcome lex = SolveLexicographic(solver, model, dir);
  c.refStatus = lex.status;
  if (lex.status == RefStatus::kFailed) {
    c.referenceFailed = true;
    return c;
  }
  std::ostringstream why;
  why.precision(12);
  if (!c.tavo.parsed) {
    why << "the model text was rejected:\n" << c.tavo.log << "\n";
  } else {
    c.tavoStatus = StatusOfResultCode(c.tavo.resultCode);
    if (c.tavoStatus != lex.status) {
      why << "status differs: TAVO " << RefStatusName(c.tavoStatus) << " (code " << c.tavo.resultCode
          << "), reference " << RefStatusName(lex.status) << "\n";
    } else if (c.tavoStatus == RefStatus::kOptimal) {
      if (c.tavo.x.size() != model.vars.size() || c.tavo.goalActivity.size() != model.goals.size()) {
        why << "TAVO reported " << c.tavo.x.size() << " activities for " << model.vars.size() << " variables and "
            << c.tavo.goalActivity.size() << " goal values for " << model.goals.size() << " goals\n";
      } else {
        for (int g = 0; g < static_cast<int>(model.goals.size()); ++g) {
          const Goal& goal = model.goals[g];
          double reported = TavoGoalValue(c.tavo, g, goal.maximize);
          double fromX = GoalValue(model, g, c.tavo.x);
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
        std::string infeasible = CheckFeasible(model, c.tavo.x, kFeasTol, kRounding, mip);
        if (!infeasible.empty()) why << "TAVO's activities are not feasible: " << infeasible << "\n";
      }
    }
  }
  c.detail = why.str();
  c.mismatch = !c.detail.empty();
  if (c.mismatch) c.detail += Describe(model, c.tavo, lex) + "model text:\n" + text;
  return c;
}

FamilySummary RunFamily(const GenOptions& options, std::uint64_t seedBase, int count, RefSolver solver,
                        int maxReported) {
  FamilySummary s;
  ScratchDir dir;
  for (int k = 0; k < count; ++k) {
    std::uint64_t seed = seedBase + static_cast<std::uint64_t>(k);
    Rng rng(seed);
    Model model = RandomModel(rng, options);
    Comparison c = CompareModel(model, solver, dir.path());
    ++s.models;
    if (c.referenceFailed) {
      ++s.referenceFailed;
      continue;
    }
    switch (c.refStatus) {
      case RefStatus::kOptimal: ++s.optimal; break;
      case RefStatus::kInfeasible: ++s.infeasible; break;
      case RefStatus::kUnbounded: ++s.unbounded; break;
      default: break;
    }
    s.tavoIterations += c.tavo.iterations;
    s.tavoNodes += c.tavo.nodesSolved;
    if (c.mismatch) {
      if (s.mismatches < maxReported)
        s.report += "---- mismatch, seed " + std::to_string(seed) + ":\n" + c.detail + "\n";
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

}  // namespace tavo::testsupport
