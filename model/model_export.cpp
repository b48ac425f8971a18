#include "model/model_export.h"

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/settings.h"
#include "shell/texts.h"
#include "solver/bound_cases.h"
#include "solver/workspace.h"

namespace tavo::exchange {
namespace {

// MAX or MIN of each goal row, in order, from the words of the goal section
// (the parser keeps only the negated coefficients of a MAX row).
std::vector<bool> GoalSenses(const std::string& text) {
  Workspace W;
  RecordingPort port;
  CalcRun run(W, port);
  run.P = ParserState{};
  run.P.g_text = &text;
  std::vector<bool> maximize;
  bool first = true;
  while (run.P.g_textPos < static_cast<int>(text.size())) {
    const std::string w = run.ReadWord(text);
    if (w.empty()) break;
    if (first && (w == "NAME" || w == "TITLE")) {
      run.ReadWord(text);  // the title
    } else if (w == "MAX" || w == "MIN") {
      maximize.push_back(w == "MAX");
    } else if (w == "ST" || w == "SUBJECT") {
      break;
    }
    first = false;
  }
  return maximize;
}

double Finite(double v) { return v >= kInfinity ? kInf : v <= -kInfinity ? -kInf : v; }

}  // namespace

bool ParseModelForExport(const std::string& text, Model& out, std::string& messages) {
  out = Model{};
  Workspace W;
  RecordingPort port;
  CalcRun run(W, port);
  run.settings = DefaultSettings();
  run.settings.SENSITIVITY = 0;  // bounds stay bounds, not rows
  if (run.ParseModel(text) != 1) {
    messages = run.result.logText;
    return false;
  }
  const int m = W.MROWS, K = W.NGOALS, n = W.NSTRUC;
  const std::vector<bool> senses = GoalSenses(text);
  if (run.P.g_modelTitle != T().defaultTitle) out.title = run.P.g_modelTitle;
  for (int j = 0; j < n; ++j) {
    Var v;
    v.name = j < static_cast<int>(run.P.g_varNames.size()) ? run.P.g_varNames[j] : "X" + std::to_string(j + 1);
    double lo = 0, up = kInf;
    if (!DeclaredBounds(W.BNDFLG[j], W.UBND[j], W.LBND[j], lo, up)) {
      messages = "the bounds of " + v.name + " contradict each other";
      return false;
    }
    v.lower = Finite(lo);
    v.upper = Finite(up);
    if (W.BNDFLG[j] & kBndInteger) v.kind = (v.lower == 0 && v.upper == 1) ? VarKind::kBinary : VarKind::kInteger;
    out.vars.push_back(v);
  }
  auto at = [&](int i, int j) { return W.AMAT[static_cast<std::size_t>(j) * m + i]; };
  for (int g = 0; g < K; ++g) {
    Goal goal;
    goal.maximize = g < static_cast<int>(senses.size()) && senses[g];
    const double sign = goal.maximize ? -1.0 : 1.0;
    for (int j = 0; j < n; ++j)
      if (at(g, j) != 0) goal.terms.push_back({j, sign * at(g, j)});
    out.goals.push_back(goal);
  }
  for (int i = K; i < m; ++i) {
    Row r;
    if (W.RNAME.size() >= static_cast<std::size_t>(18) * (i - K + 1)) {
      r.label = W.RNAME.substr(static_cast<std::size_t>(18) * (i - K), 18);
      while (!r.label.empty() && (r.label.back() == ' ' || r.label.back() == '\0')) r.label.pop_back();
    }
    for (int j = 0; j < n; ++j)
      if (at(i, j) != 0) r.terms.push_back({j, at(i, j)});
    const double rhs = Finite(W.XB[i]);
    switch (W.ROWTYP[i]) {
      case kRowGreater:
        r.sense = Sense::kGe, r.rhs = rhs;
        break;
      case kRowEqual:
        r.sense = Sense::kEq, r.rhs = rhs;
        break;
      default:
        r.sense = Sense::kLe, r.rhs = rhs;
        if (W.RANGE[i] != 0) r.sense = Sense::kRange, r.hi = rhs, r.lo = rhs - W.RANGE[i];
        break;
    }
    out.rows.push_back(r);
  }
  return true;
}

}  // namespace tavo::exchange
