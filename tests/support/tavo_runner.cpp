#include "tests/support/tavo_runner.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <unordered_map>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "solver/bound_cases.h"
#include "solver/workspace.h"
#include "tests/report_support.h"

namespace tavo::testsupport {

namespace {

// Column j's name in CNAME without its blank (or NUL) padding.
std::string ColumnName(const Workspace& W, int j) {
  std::string name;
  for (int k = 0; k < 8; ++k) {
    const char ch = W.CNAME[static_cast<std::size_t>(j) * 8 + k];
    if (ch != ' ' && ch != '\0') name += ch;
  }
  return name;
}

}  // namespace

TavoOutcome SolveWithTavo(const std::string& modelText, const SolverSettings& settings,
                          const std::function<void(long long)>& onPump) {
  TavoOutcome out;
  auto start = std::chrono::steady_clock::now();
  // The workspace is large; keep it off the stack.
  auto workspace = std::make_unique<Workspace>();
  RecordingPort port;
  port.recordWrites = false;
  if (onPump) port.onPump = onPump;
  CalcRun run(*workspace, port);
  run.settings = settings;
  run.modelText = modelText;
  out.parsed = run.ParseModel(modelText) == 1;
  if (out.parsed) {
    out.resultCode = run.SetupAndSolve();
    const Workspace& W = *workspace;
    for (int j = 0; j < W.NSTRUC && static_cast<std::size_t>(j) * 8 + 8 <= W.CNAME.size(); ++j)
      out.names.push_back(ColumnName(W, j));
    out.xact = W.XACT;
    out.iterations = W.ITERLP - 1;
    out.nodesSolved = W.NINT != 0 ? W.g_branchCount + 1 : 0;
    out.tableFull = W.NINT != 0 && W.g_bbLastNode >= settings.BB_LENGTH - 2;
    const bool searched = W.NINT != 0 && W.g_bbState != 0;
    out.haveIncumbent = searched && W.g_haveIncumbent == 1;
    if (searched && W.g_haveIncumbent == 1) {
      out.goalActivity.assign(W.g_incumbentGoals.begin(), W.g_incumbentGoals.begin() + W.NGOALS);
      out.xFromReport = true;
      ParseColumnsReport(run.result.columnsText, W.NSTRUC, out.x);
    } else {
      out.x = W.XACT;
      if (static_cast<int>(W.RACT.size()) >= W.NGOALS)
        out.goalActivity.assign(W.RACT.begin(), W.RACT.begin() + W.NGOALS);
    }
  }
  out.log = run.result.logText;
  out.columnsText = run.result.columnsText;
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return out;
}

double TavoGoalValue(const TavoOutcome& outcome, int g, bool maximize) {
  return maximize ? outcome.goalActivity.at(g) : -outcome.goalActivity.at(g);
}

bool ParseColumnsReport(const std::string& columnsText, int columns, std::vector<double>& x) {
  x.assign(columns, 0.0);
  int lines = 0;
  for (const std::string& line : reporttest::SplitLines(columnsText)) {
    // number \t name \t status \t activity \t reduced cost
    const std::vector<std::string> fields = reporttest::SplitTabs(line);
    if (fields.size() != 5 || fields[0].empty() || fields[0].find_first_not_of("0123456789") != std::string::npos)
      continue;
    int j = std::atoi(fields[0].c_str());
    if (j < 1 || j > columns) continue;
    x[j - 1] = std::strtod(fields[3].c_str(), nullptr);
    ++lines;
  }
  return lines == columns;
}

std::string CheckModelTextReadsBack(const Model& model, const std::string& text) {
  auto workspace = std::make_unique<Workspace>();
  RecordingPort port;
  port.recordWrites = false;
  CalcRun run(*workspace, port);
  run.settings = DefaultSettings();
  run.modelText = text;
  if (run.ParseModel(text) != 1) return "the model text was rejected";
  const Workspace& W = *workspace;
  std::ostringstream why;
  why.precision(17);
  int differences = 0;
  auto differ = [&](const std::string& what) {
    if (differences++ < 10) why << what << "\n";
  };
  const int K = static_cast<int>(model.goals.size());
  const int n = static_cast<int>(model.vars.size());
  if (W.NGOALS != K) differ("goal rows: " + std::to_string(W.NGOALS) + " instead of " + std::to_string(K));
  if (W.NSTRUC != n) differ("variables: " + std::to_string(W.NSTRUC) + " instead of " + std::to_string(n));
  std::vector<const Row*> rows;
  for (const Row& r : model.rows)
    if (!(r.sense == Sense::kRange && r.lo == -kInf && r.hi == kInf)) rows.push_back(&r);
  if (W.MROWS < K + static_cast<int>(rows.size()))
    differ("rows: " + std::to_string(W.MROWS) + " for " + std::to_string(K + rows.size()) + " or more");
  if (!why.str().empty()) return why.str();

  const std::int64_t m = W.MROWS;
  std::unordered_map<std::string, int> column;
  for (int j = 0; j < W.NSTRUC; ++j) column[ColumnName(W, j)] = j;
  std::vector<int> col(n, -1);
  for (int v = 0; v < n; ++v) {
    auto it = column.find(model.vars[v].name);
    if (it == column.end()) {
      differ("variable " + model.vars[v].name + " is missing");
      return why.str();
    }
    col[v] = it->second;
  }
  auto stored = [&](int row, int v) { return W.AMAT[static_cast<std::size_t>(col[v] * m + row)]; };
  auto checkRow = [&](int row, const std::vector<Term>& terms, double sign, const std::string& what) {
    std::vector<double> dense(n, 0.0);
    for (const Term& t : terms) dense[t.var] = t.coef;  // a later entry replaces, as the parser does
    for (int v = 0; v < n; ++v) {
      double want = sign * dense[v];
      if (stored(row, v) != want) {
        std::ostringstream o;
        o.precision(17);
        o << what << ", " << model.vars[v].name << ": " << stored(row, v) << " instead of " << want;
        differ(o.str());
      }
    }
  };
  for (int g = 0; g < K; ++g) {
    checkRow(g, model.goals[g].terms, model.goals[g].maximize ? -1.0 : 1.0, "goal row " + std::to_string(g + 1));
    if (W.ROWTYP[g] != kRowGoal) differ("goal row " + std::to_string(g + 1) + " has another type");
  }
  for (std::size_t q = 0; q < rows.size(); ++q) {
    const Row& r = *rows[q];
    const int i = K + static_cast<int>(q);
    const std::string what = "row " + std::to_string(q + 1);
    checkRow(i, r.terms, 1.0, what);
    const Row plain = Plain(r);
    const Sense sense = plain.sense;
    const double rhs = sense == Sense::kRange ? r.hi : plain.rhs;
    const double range = sense == Sense::kRange ? r.hi - r.lo : 0;
    const int type = sense == Sense::kGe ? kRowGreater : sense == Sense::kEq ? kRowEqual : kRowLess;
    std::ostringstream o;
    o.precision(17);
    if (W.ROWTYP[i] != type) o << what << ": type " << int(W.ROWTYP[i]) << " instead of " << type << "; ";
    if (W.XB[i] != rhs) o << what << ": right-hand side " << W.XB[i] << " instead of " << rhs << "; ";
    if (W.RANGE[i] != range) o << what << ": range " << W.RANGE[i] << " instead of " << range << "; ";
    if (!o.str().empty()) differ(o.str());
  }
  for (int v = 0; v < n; ++v) {
    const Var& var = model.vars[v];
    const int j = col[v];
    const std::uint8_t flags = W.BNDFLG[j];
    if (IsInteger(flags) != (var.kind != VarKind::kContinuous)) differ(var.name + ": integer flag differs");
    // The case the declarations written for the variable must give.
    const double lo = model.Lower(v), up = model.Upper(v);
    BoundCase want = BoundCase::kNonnegative;
    double wantU = 0, wantL = 0;
    if (lo >= 0 && lo == up) {
      want = BoundCase::kFixed, wantL = lo;
    } else if (lo >= 0) {
      if (lo > 0) wantL = lo;
      if (up != kInf) wantU = up;
      want = lo > 0 ? (up != kInf ? BoundCase::kBetween : BoundCase::kLowerOnly)
                    : (up != kInf ? BoundCase::kUpperOnly : BoundCase::kNonnegative);
    } else if (up != kInf && up >= 0) {
      want = BoundCase::kAboveOnly, wantU = up;
    } else {
      want = BoundCase::kFree;
    }
    const int got = flags & kBndCaseFlags;
    std::ostringstream o;
    o.precision(17);
    if (ClassifyBounds(flags) != want)
      o << var.name << ": bound flags " << got << " instead of " << int(FlagsOf(want)) << "; ";
    if (W.UBND[j] != wantU) o << var.name << ": upper " << W.UBND[j] << " instead of " << wantU << "; ";
    if (W.LBND[j] != wantL) o << var.name << ": lower " << W.LBND[j] << " instead of " << wantL << "; ";
    if (!o.str().empty()) differ(o.str());
  }
  if (differences > 10) why << "(" << differences - 10 << " more)\n";
  return why.str();
}

bool InModelOrder(const TavoOutcome& outcome, const Model& model, std::vector<double>& x) {
  std::unordered_map<std::string, std::size_t> column;
  for (std::size_t j = 0; j < outcome.names.size(); ++j) column.emplace(outcome.names[j], j);
  x.assign(model.vars.size(), 0.0);
  for (std::size_t j = 0; j < model.vars.size(); ++j) {
    auto it = column.find(model.vars[j].name);
    if (it == column.end() || it->second >= outcome.x.size()) return false;
    x[j] = outcome.x[it->second];
  }
  return true;
}

std::string PointViolation(const TavoOutcome& outcome, const Model& model, bool integral) {
  std::vector<double> x;
  if (!InModelOrder(outcome, model, x)) return "the columns do not match the model's variables";
  return CheckFeasible(model, x, 1e-6, 5e-7, integral);
}

}  // namespace tavo::testsupport
