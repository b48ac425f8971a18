#include "solver/workspace_checks.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

namespace {

std::string Num(std::int64_t v) { return std::to_string(v); }

std::string Real(double v) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return buffer;
}

// Sizes: every array of the workspace list against its dimensions. The groups
// that set-up sizes may still be empty (a parsed model not yet set up).
std::string CheckSizes(const Workspace& W) {
  std::string why;
  bool groupEmpty[6] = {true, true, true, true, true, true};
  W.ForEachArray([&](const char*, const auto& array, ArrayGroup group, std::int64_t) {
    if (!array.empty()) groupEmpty[static_cast<int>(group)] = false;
  });
  W.ForEachArray([&](const char* name, const auto& array, ArrayGroup group, std::int64_t size) {
    if (!why.empty() || size < 0) return;
    const bool mayBeEmpty = group == ArrayGroup::kSolver || group == ArrayGroup::kSearch ||
                            group == ArrayGroup::kParsedCopy || group == ArrayGroup::kPattern;
    if (mayBeEmpty && groupEmpty[static_cast<int>(group)]) return;
    // The pattern stands for the matrix only once built for these rows.
    if (group == ArrayGroup::kPattern && W.APATM != W.MROWS) return;
    if (static_cast<std::int64_t>(array.size()) != size)
      why = std::string(name) + " has " + Num(static_cast<std::int64_t>(array.size())) + " entries instead of " +
            Num(size);
  });
  if (!why.empty()) return why;
  const std::int64_t constraintRows = static_cast<std::int64_t>(W.MROWS) - W.NGOALS;
  if (!W.RNAME.empty() && static_cast<std::int64_t>(W.RNAME.size()) != 18 * constraintRows)
    return "RNAME has " + Num(static_cast<std::int64_t>(W.RNAME.size())) + " bytes instead of 18 a constraint row";
  return "";
}

// The nonzero pattern, once built: starts ascending and ending at the list's
// length, rows in range and ascending within a column.
std::string CheckPattern(const Workspace& W) {
  if (W.APATM != W.MROWS || W.APATBEG.empty()) return "";
  const std::int64_t entries = static_cast<std::int64_t>(W.APATROW.size());
  if (W.APATVAL.size() != W.APATROW.size()) return "APATVAL and APATROW differ in length";
  if (W.APATBEG.front() != 0 || W.APATBEG.back() != entries) return "APATBEG does not span APATROW";
  for (std::int32_t j = 0; j < W.NSTRUC; ++j) {
    const std::int64_t begin = W.APATBEG[j], end = W.APATBEG[static_cast<std::size_t>(j) + 1];
    if (begin > end) return "APATBEG falls at column " + Num(j);
    for (std::int64_t p = begin; p < end; ++p) {
      const std::int32_t row = W.APATROW[static_cast<std::size_t>(p)];
      if (row < 0 || row >= W.MROWS) return "APATROW holds row " + Num(row) + " in column " + Num(j);
      if (p > begin && row <= W.APATROW[static_cast<std::size_t>(p) - 1])
        return "APATROW is not ascending in column " + Num(j);
    }
  }
  return "";
}

std::string CheckRows(const Workspace& W) {
  for (std::int32_t i = 0; i < W.MROWS; ++i) {
    const std::uint8_t t = W.ROWTYP[i];
    if (i < W.NGOALS ? t != kRowGoal : (t < kRowGreater || t > kRowEqual))
      return "row " + Num(i) + " has type " + Num(t);
  }
  for (std::int32_t j = W.NSTRUC; j < W.NCOLS; ++j) {
    if (W.BNDFLG[j] != 0 && W.BNDFLG[j] != kBndUpper)
      return "logical column " + Num(j) + " has bound flags " + Num(W.BNDFLG[j]);
  }
  return "";
}

std::string CheckBasis(const Workspace& W) {
  if (W.JHEAD.empty()) return "";  // not set up yet
  for (std::int32_t i = 0; i < W.MROWS; ++i) {
    const std::int32_t h = W.JHEAD[i];
    if (h < 0 || h > W.NCOLS) return "JHEAD of row " + Num(i) + " is " + Num(h);
    if (i < W.NGOALS && h != 0) return "goal row " + Num(i) + " has column " + Num(h - 1) + " basic";
  }
  for (std::int32_t j = 0; j < W.NCOLS; ++j) {
    if (W.COLKND[j] > kKindArtificial) return "column " + Num(j) + " has kind " + Num(W.COLKND[j]);
    if (W.ATUPR[j] > 1) return "ATUPR of column " + Num(j) + " is " + Num(W.ATUPR[j]);
    const std::int32_t k = W.KINBAS[j];
    if (k < 0 || k > W.MROWS) return "KINBAS of column " + Num(j) + " is " + Num(k);
    if (k > 0 && W.JHEAD[k - 1] != j + 1)
      return "KINBAS of column " + Num(j) + " names row " + Num(k - 1) + ", whose JHEAD is " + Num(W.JHEAD[k - 1]);
  }
  for (std::int32_t i = 0; i < W.MROWS; ++i) {
    const std::int32_t h = W.JHEAD[i];
    if (h > 0 && W.KINBAS[h - 1] != i + 1)
      return "JHEAD of row " + Num(i) + " names column " + Num(h - 1) + ", whose KINBAS is " + Num(W.KINBAS[h - 1]);
  }
  return "";
}

}  // namespace

std::string CheckWorkspaceInvariants(const Workspace& W) {
  if (W.NGOALS < 0 || W.NGOALS > W.MROWS) return "NGOALS " + Num(W.NGOALS) + " outside 0 to MROWS " + Num(W.MROWS);
  if (W.NSTRUC < 0) return "NSTRUC is negative";
  if (W.NCOLS != W.NSTRUC + W.MROWS) return "NCOLS " + Num(W.NCOLS) + " is not NSTRUC + MROWS";
  for (const std::string& why : {CheckSizes(W), CheckPattern(W)}) {
    if (!why.empty()) return why;
  }
  // The remaining checks index the arrays by the dimensions.
  for (const std::string& why : {CheckRows(W), CheckBasis(W)}) {
    if (!why.empty()) return why;
  }
  return "";
}

std::string CheckBasisInvariants(const Workspace& W) {
  if (W.NGOALS < 0 || W.NGOALS > W.MROWS) return "NGOALS " + Num(W.NGOALS) + " outside 0 to MROWS " + Num(W.MROWS);
  if (W.NSTRUC < 0) return "NSTRUC is negative";
  if (W.NCOLS != W.NSTRUC + W.MROWS) return "NCOLS " + Num(W.NCOLS) + " is not NSTRUC + MROWS";
  std::string why;
  // The arrays the basis operations read and write.
  W.ForEachArray([&](const char* name, const auto& array, ArrayGroup, std::int64_t size) {
    static constexpr std::string_view kRead[] = {"AMAT",  "XB",    "RHS",    "ACOL", "COLKND",
                                                 "ATUPR", "JHEAD", "KINBAS", "BINV", "ALPHA"};
    bool read = false;
    for (std::string_view r : kRead) read = read || r == name;
    if (why.empty() && read && static_cast<std::int64_t>(array.size()) != size)
      why = std::string(name) + " has " + Num(static_cast<std::int64_t>(array.size())) + " entries instead of " +
            Num(size);
  });
  if (!why.empty()) return why;
  return CheckBasis(W);
}

bool CheckInverse(const Workspace& W, double tolerance, std::string* why) {
  const std::int64_t m = W.MROWS;
  const std::int32_t n = W.NSTRUC;
  std::vector<double> product(static_cast<std::size_t>(m));
  std::vector<double> scale(static_cast<std::size_t>(m));
  double worst = 0;
  std::int64_t worstRow = -1, worstColumn = -1;
  double worstValue = 0;
  for (std::int64_t c = 0; c < m; ++c) {
    // Column c of BINV times B: BINV applied to the basic column of row c.
    std::fill(product.begin(), product.end(), 0.0);
    std::fill(scale.begin(), scale.end(), 0.0);
    auto add = [&](std::int64_t i, double a) {
      const double* binvColumn = W.BINV.data() + static_cast<std::size_t>(i * m);
      for (std::int64_t k = 0; k < m; ++k) {
        product[k] += binvColumn[k] * a;
        scale[k] += std::fabs(binvColumn[k] * a);
      }
    };
    const std::int32_t h = c < W.NGOALS ? 0 : W.JHEAD[c];
    if (h == 0) {
      add(c, 1.0);
    } else if (h - 1 >= n) {
      add(h - 1 - n, 1.0);
    } else {
      const double* column = W.AMAT.data() + static_cast<std::size_t>(static_cast<std::int64_t>(h - 1) * m);
      for (std::int64_t i = 0; i < m; ++i) {
        if (column[i] != 0) add(i, column[i]);
      }
    }
    for (std::int64_t k = 0; k < m; ++k) {
      const double error = std::fabs(product[k] - (k == c ? 1.0 : 0.0));
      const double allowed = tolerance * (scale[k] > 1 ? scale[k] : 1.0);
      // A NaN fails too.
      const double excess = error / allowed;
      if (!(error <= allowed) && (!(excess <= worst) || worstRow < 0)) {
        worst = excess;
        worstRow = k;
        worstColumn = c;
        worstValue = product[k];
      }
    }
  }
  if (worstRow < 0) return true;
  if (why)
    *why = "BINV times the basis is " + Real(worstValue) + " in row " + Num(worstRow) + ", column " + Num(worstColumn) +
           " (JHEAD " + Num(worstColumn < W.NGOALS ? 0 : W.JHEAD[worstColumn]) + ")";
  return false;
}

void AbortOnWorkspaceViolation(const Workspace& W, const char* where) {
  std::string why = CheckBasisInvariants(W);
  if (why.empty()) CheckInverse(W, kReinversionCheckTolerance, &why);
  if (why.empty()) return;
  std::fprintf(stderr, "workspace check after %s: %s\n", where, why.c_str());
  std::abort();
}

}  // namespace tavo
