// The solver's inner loops skip zeros and walk the nonzero patterns of the
// columns, of the price vectors and of the inverse. Here each of them is run
// against the plain loop written out step by step, on the same data, and the
// results are compared bit for bit: on synthetic states with zeros, tiny
// entries below the tolerances and negative values, and on every iteration
// of real solves of random models.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/settings.h"
#include "support/model_writer.h"

namespace tavo {
namespace {

// ---- The plain loops ----

std::size_t At(int col, int m, int row) { return static_cast<std::size_t>(col) * m + row; }

// Sizes each array to `size` entries, all zero.
template <typename... V>
void Zeros(std::size_t size, V&... arrays) {
  (arrays.assign(size, typename V::value_type{}), ...);
}

void PlainLoadColumn(Workspace& W) {
  const int m = W.MROWS;
  const int j = W.JCUR;
  for (int i = 0; i < m; ++i) {
    W.ACOL[i] = j < W.NSTRUC ? W.AMAT[At(j, m, i)] : (i == j - W.NSTRUC ? 1.0 : 0.0);
  }
}

void PlainFtran(Workspace& W, const SolverSettings& s) {
  const int m = W.MROWS;
  for (int k = 0; k < m; ++k) W.ALPHA[k] = 0;
  PlainLoadColumn(W);
  for (int i = 0; i < m; ++i) {
    if (W.ACOL[i] == 0) continue;
    for (int k = 0; k < m; ++k) {
      const double b = W.BINV[At(i, m, k)];
      if (std::fabs(b) >= s.ETOL) {
        W.ALPHA[k] += W.ACOL[i] * b;
        if (std::fabs(W.ALPHA[k]) < s.ETOL) W.ALPHA[k] = 0;
      }
    }
  }
}

void PlainUpdateInverse(Workspace& W, const SolverSettings& s) {
  const int m = W.MROWS;
  const int r = W.ILEAVE;
  for (int i = 0; i < m; ++i) {
    if (std::fabs(W.BINV[At(i, m, r)]) >= s.ETOL) {
      W.ETAMUL = W.BINV[At(i, m, r)] / W.PIVNEG;
      if (std::fabs(W.ETAMUL) >= s.ETOL) {
        W.BINV[At(i, m, r)] = 0;
        for (int k = 0; k < m; ++k) W.BINV[At(i, m, k)] += W.ETAMUL * W.ALPHA[k];
      }
    }
  }
}

void PlainBuildPrices(Workspace& W, const SolverSettings& s) {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  for (int k = 0; k < K; ++k) {
    for (int i = 0; i < m; ++i) W.PI[At(k, m, i)] = W.BINV[At(i, m, k)];
  }
  if (W.PHASE == 2) return;
  for (auto& p : W.PI) p = 0;
  for (int i = K; i < m; ++i) {
    if (std::fabs(W.XB[i]) < s.ZTOL) continue;
    const int jh = W.JHEAD[i];
    if (jh > 0 && W.COLKND[jh - 1] == kKindFree) continue;  // never infeasible
    if (W.XB[i] < 0) {
      for (int c = 0; c < m; ++c) W.PI[c] += W.BINV[At(c, m, i)];
    } else if (jh == 0 || W.COLKND[jh - 1] == kKindFixedZero || (W.COLKND[jh - 1] == kKindBounded && W.XB[i] > 1)) {
      for (int c = 0; c < m; ++c) W.PI[c] -= W.BINV[At(c, m, i)];
    }
  }
}

void PlainPriceColumn(Workspace& W, const SolverSettings& s) {
  const int m = W.MROWS;
  const int j = W.JCUR;
  PlainLoadColumn(W);
  if (j < W.NSTRUC && W.COLKND[j] == kKindBounded) {
    double u = W.UBND[j];
    if (!(u > 0)) u = u - W.LBND[j] > 0 ? u - W.LBND[j] : 1.0;  // bounds of a branch below 0
    for (int i = 0; i < m; ++i) W.ACOL[i] /= u;
  }
  for (int k = 0; k < W.NGOALS; ++k) {
    W.DJ[k] = 0;
    for (int i = 0; i < m; ++i) {
      if (std::fabs(W.PI[At(k, m, i)]) >= s.ZTOL && W.ACOL[i] != 0) W.DJ[k] += W.PI[At(k, m, i)] * W.ACOL[i];
    }
    if (std::fabs(W.DJ[k]) < s.ETOL) W.DJ[k] = 0;
  }
}

void PlainChooseEntering(Workspace& W, const SolverSettings& s) {
  const int K = W.NGOALS;
  for (int k = 0; k < K; ++k) {
    W.JBEST[k] = -1;
    W.DJBEST[k] = s.CTOL;
  }
  for (int j = 0; j < W.NCOLS; ++j) {
    const int kind = W.COLKND[j];
    if (W.KINBAS[j] != 0 || kind < 1 || kind > 3) continue;
    W.JCUR = j;
    PlainPriceColumn(W, s);
    for (int k = 0; k < K; ++k) {
      if (std::fabs(W.DJ[k]) < s.ETOL) continue;
      if (W.DJ[k] > 0 && (kind == 2 || (kind == 1 && !W.ATUPR[j]))) break;
      if (W.DJ[k] < 0 && kind == 1 && W.ATUPR[j]) break;
      if (-std::fabs(W.DJ[k]) < W.DJBEST[k]) {
        W.DJBEST[k] = -std::fabs(W.DJ[k]);
        W.JBEST[k] = j;
        W.DIRBST[k] = W.DJ[k] < 0 ? 1 : -1;
        W.BNDBST[k] = kind == 1;
      }
    }
  }
  W.JENTER = -1;
  for (int k = 0; k < K; ++k) {
    if (W.JBEST[k] >= 0) {
      W.JENTER = W.JBEST[k];
      W.IDIR = W.DIRBST[k];
      W.BNDENT = W.BNDBST[k];
      if (W.BNDENT == 1) W.ATUPR[W.JENTER] = 0;
      break;
    }
  }
}

void PlainReinvert(Workspace& W, const SolverSettings& s) {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  for (int i = 0; i < m; ++i) W.XB[i] = W.RHS[i];
  for (int i = K; i < m; ++i) {
    if (W.JHEAD[i] != 0) W.JHEAD[i] = -1;
  }
  for (int c = 0; c < m; ++c) {
    for (int k = 0; k < m; ++k) W.BINV[At(c, m, k)] = c == k ? 1.0 : 0.0;
  }
  W.PH2SEEN = W.PHASE == 2;
  W.PHASE = 1;
  bool dropped = false;
  for (int j = 0; j < W.NCOLS; ++j) {
    W.JCUR = j;
    PlainFtran(W, s);
    if (W.ATUPR[j]) {
      for (int i = 0; i < m; ++i) W.XB[i] -= W.ALPHA[i];
    }
    if (W.KINBAS[j] == 0) continue;
    W.KINBAS[j] = 0;
    int r = -1;
    for (int i = K; i < m; ++i) {
      if (W.JHEAD[i] == -1 && (r < 0 || std::fabs(W.ALPHA[i]) > std::fabs(W.ALPHA[r]))) r = i;
    }
    if (r < 0 || std::fabs(W.ALPHA[r]) < s.ZTOL) {
      dropped = true;
      continue;
    }
    W.JHEAD[r] = j + 1;
    W.KINBAS[j] = r + 1;
    W.PIVNEG = -W.ALPHA[r];
    W.ALPHA[r] = -1;
    W.ILEAVE = r;
    PlainUpdateInverse(W, s);
    const double t = W.XB[r] / W.PIVNEG;
    W.XB[r] = 0;
    for (int i = 0; i < m; ++i) {
      if (std::fabs(W.ALPHA[i]) >= s.ETOL) W.XB[i] += t * W.ALPHA[i];
    }
  }
  for (int i = K; i < m; ++i) {
    if (W.JHEAD[i] != -1) continue;
    W.JHEAD[i] = 0;
    // A row left without its column takes its own logical column when free.
    const int logical = W.NSTRUC + i;
    if (dropped && W.KINBAS[logical] == 0 && W.COLKND[logical] != kKindArtificial) {
      W.JHEAD[i] = logical + 1;
      W.KINBAS[logical] = i + 1;
    }
  }
  for (int r = 0; r < m; ++r) {
    if (W.JHEAD[r] > 0 && W.ATUPR[W.JHEAD[r] - 1]) W.XB[r] += 1;
  }
  for (int i = 0; i < m; ++i) {
    if (W.XB[i] != 0 && std::fabs(W.XB[i]) < s.ETOL) W.XB[i] = 0;
  }
}

void PlainCrashBasis(Workspace& W, const SolverSettings& s) {
  W.PHASE = 1;
  for (auto& h : W.JHEAD) h = 0;
  for (auto& k : W.KINBAS) k = 0;
  for (int j = 0; j < W.NCOLS; ++j) {
    W.JCUR = j;
    PlainLoadColumn(W);
    int count = 0, row = -1;
    for (int i = 0; i < W.MROWS; ++i) {
      if (W.ACOL[i] != 0) {
        ++count;
        row = i;
      }
    }
    if (count == 1 && W.COLKND[j] != kKindArtificial && row >= W.NGOALS) {
      W.JHEAD[row] = j + 1;
      W.KINBAS[j] = row + 1;
    }
  }
  PlainReinvert(W, s);
}

// ---- Comparison ----

template <typename T>
::testing::AssertionResult SameBits(const std::vector<T>& a, const std::vector<T>& b, const char* what) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << what << ": sizes differ";
  if (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0) return ::testing::AssertionSuccess();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0)
      return ::testing::AssertionFailure() << what << " differs at " << i << ": " << a[i] << " vs " << b[i];
  }
  return ::testing::AssertionFailure() << what;
}

::testing::AssertionResult SameScalar(double a, double b, const char* what) {
  if (std::memcmp(&a, &b, sizeof a) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << what << ": " << a << " vs " << b;
}

// Runs an operation of the run on one copy of the workspace and the plain
// loop on another.
struct Pair {
  Pair(const Workspace& from, const SolverSettings& s) : fast(from), plain(from), settings(s) { run.settings = s; }
  Workspace fast;
  Workspace plain;
  SolverSettings settings;
  RecordingPort port;
  CalcRun run{fast, port};
};

void CompareFtran(const Workspace& W, const SolverSettings& s, int j) {
  Pair p(W, s);
  p.fast.JCUR = p.plain.JCUR = j;
  p.run.Ftran();
  PlainFtran(p.plain, s);
  EXPECT_TRUE(SameBits(p.fast.ALPHA, p.plain.ALPHA, "Ftran ALPHA")) << "column " << j;
  EXPECT_TRUE(SameBits(p.fast.ACOL, p.plain.ACOL, "Ftran ACOL")) << "column " << j;
}

void CompareUpdate(const Workspace& W, const SolverSettings& s, int r) {
  Pair p(W, s);
  for (Workspace* w : {&p.fast, &p.plain}) {
    w->ILEAVE = r;
    w->PIVNEG = -w->ALPHA[r];
    w->ALPHA[r] = -1;
  }
  p.run.UpdateInverse();
  PlainUpdateInverse(p.plain, s);
  EXPECT_TRUE(SameBits(p.fast.BINV, p.plain.BINV, "UpdateInverse BINV")) << "row " << r;
  EXPECT_TRUE(SameScalar(p.fast.ETAMUL, p.plain.ETAMUL, "ETAMUL"));
}

void ComparePricing(const Workspace& W, const SolverSettings& s, int phase) {
  Pair p(W, s);
  p.fast.PHASE = p.plain.PHASE = phase;
  p.run.BuildPrices();
  PlainBuildPrices(p.plain, s);
  ASSERT_TRUE(SameBits(p.fast.PI, p.plain.PI, "BuildPrices PI")) << "phase " << phase;
  p.run.ChooseEntering();
  PlainChooseEntering(p.plain, s);
  auto choice = [](const Workspace& w) {
    return std::tie(w.JENTER, w.IDIR, w.BNDENT, w.JCUR, w.JBEST, w.DIRBST, w.BNDBST, w.ATUPR);
  };
  EXPECT_EQ(choice(p.fast), choice(p.plain)) << "ChooseEntering's choice";
  EXPECT_TRUE(SameBits(p.fast.DJBEST, p.plain.DJBEST, "DJBEST"));
  EXPECT_TRUE(SameBits(p.fast.DJ, p.plain.DJ, "DJ"));
  EXPECT_TRUE(SameBits(p.fast.ACOL, p.plain.ACOL, "ChooseEntering ACOL"));
  // The public single-column pricing against the plain one, every column.
  for (int j = 0; j < W.NCOLS; ++j) {
    p.fast.JCUR = p.plain.JCUR = j;
    p.run.PriceColumn();
    PlainPriceColumn(p.plain, s);
    ASSERT_TRUE(SameBits(p.fast.DJ, p.plain.DJ, "PriceColumn DJ")) << "column " << j;
  }
}

void CompareReinvert(const Workspace& W, const SolverSettings& s, bool crash) {
  Pair p(W, s);
  if (crash) {
    p.run.CrashBasis();
    PlainCrashBasis(p.plain, s);
  } else {
    p.run.Reinvert();
    PlainReinvert(p.plain, s);
  }
  const char* what = crash ? "CrashBasis" : "Reinvert";
  EXPECT_TRUE(SameBits(p.fast.BINV, p.plain.BINV, "BINV")) << what;
  EXPECT_TRUE(SameBits(p.fast.XB, p.plain.XB, "XB")) << what;
  EXPECT_TRUE(SameBits(p.fast.ALPHA, p.plain.ALPHA, "ALPHA")) << what;
  EXPECT_TRUE(SameBits(p.fast.ACOL, p.plain.ACOL, "ACOL")) << what;
  auto basis = [](const Workspace& w) { return std::tie(w.JHEAD, w.KINBAS, w.JCUR, w.ILEAVE, w.PHASE, w.PH2SEEN); };
  EXPECT_EQ(basis(p.fast), basis(p.plain)) << what << ": basis, pivot or phase";
  EXPECT_TRUE(SameScalar(p.fast.PIVNEG, p.plain.PIVNEG, "PIVNEG")) << what;
  EXPECT_TRUE(SameScalar(p.fast.ETAMUL, p.plain.ETAMUL, "ETAMUL")) << what;
}

// ---- Synthetic states ----

// A workspace with a given shape, a sparse matrix with some columns dense,
// an inverse full of zeros, tiny entries and negative values, and a price
// vector over two goal rows.
Workspace SyntheticState(std::mt19937_64& rng, int m, int n, int K) {
  Workspace W;
  W.MROWS = m;
  W.NGOALS = K;
  W.NSTRUC = n;
  W.NCOLS = n + m;
  std::uniform_real_distribution<double> u(-3, 3);
  std::uniform_int_distribution<int> pick(0, 99);
  auto value = [&]() {
    const int c = pick(rng);
    if (c < 45) return 0.0;
    if (c < 50) return 1e-13 * (c % 2 ? 1 : -1);  // below ETOL
    if (c < 53) return 3e-12 * (c % 2 ? 1 : -1);  // between ETOL and ZTOL
    if (c < 56) return 1e-300;                    // products underflow
    return std::round(u(rng) * 8) / 8 + (c % 7 == 0 ? u(rng) * 1e-9 : 0.0);
  };
  W.AMAT.resize(static_cast<std::size_t>(n) * m);
  for (int j = 0; j < n; ++j) {
    const bool dense = j % 5 == 0;
    for (int i = 0; i < m; ++i) {
      double v = value();
      if (!dense && pick(rng) < 50) v = 0;
      W.AMAT[At(j, m, i)] = v;
    }
  }
  W.BINV.resize(static_cast<std::size_t>(m) * m);
  for (auto& b : W.BINV) b = value();
  W.XB.resize(m);
  W.RHS.resize(m);
  for (int i = 0; i < m; ++i) {
    W.XB[i] = W.RHS[i] = pick(rng) < 30 ? 0.0 : u(rng);
    if (pick(rng) < 10) W.XB[i] = 1.0 + 1e-14;
    if (pick(rng) < 10) W.XB[i] = 1.5;
  }
  Zeros(m, W.ACOL, W.ALPHA, W.NZROWS, W.JHEAD);
  Zeros(static_cast<std::size_t>(K) * m, W.PI, W.PIMASK);
  Zeros(K, W.DJ, W.DJBEST, W.JBEST, W.DIRBST, W.BNDBST);
  Zeros(n, W.UBND, W.LBND);
  Zeros(W.NCOLS, W.COLKND, W.ATUPR, W.KINBAS);
  for (int j = 0; j < W.NCOLS; ++j) {
    W.COLKND[j] = static_cast<std::uint8_t>(pick(rng) % 5);
    if (j < n && W.COLKND[j] == kKindBounded) {
      W.UBND[j] = pick(rng) < 20 ? 0.0 : 1 + pick(rng) % 7;  // 0: a branch's bounds below 0
      W.LBND[j] = W.UBND[j] == 0 ? -3 : 0;
    }
    W.ATUPR[j] = W.COLKND[j] == kKindBounded && pick(rng) < 40;
  }
  // A few basic columns, each in its own constraint row.
  for (int i = K; i < m; ++i) {
    if (pick(rng) < 60) continue;
    const int j = pick(rng) % W.NCOLS;
    if (W.KINBAS[j] != 0) continue;
    W.JHEAD[i] = j + 1;
    W.KINBAS[j] = i + 1;
    W.ATUPR[j] = pick(rng) < 10;
  }
  return W;
}

TEST(SolverKernels, SyntheticStatesMatchThePlainLoops) {
  std::mt19937_64 rng(20261206);
  SolverSettings s = DefaultSettings();
  for (int round = 0; round < 40; ++round) {
    const int m = 3 + round % 17;
    const int n = 2 + (round * 7) % 23;
    const int K = 1 + round % 3 < m ? 1 + round % 3 : 1;
    Workspace W = SyntheticState(rng, m, n, K);
    SCOPED_TRACE("round " + std::to_string(round));
    for (int j = 0; j < W.NCOLS; ++j) CompareFtran(W, s, j);
    // The update for several pivot rows, with ALPHA from a real FTRAN.
    for (int j = 0; j < W.NCOLS; j += 3) {
      Pair p(W, s);
      p.fast.JCUR = j;
      p.run.Ftran();
      for (int r = K; r < m; ++r) {
        if (p.fast.ALPHA[r] != 0) CompareUpdate(p.fast, s, r);
      }
    }
    ComparePricing(W, s, 1);
    ComparePricing(W, s, 2);
    W.PHASE = round % 2 ? 2 : 1;
    CompareReinvert(W, s, false);
    CompareReinvert(W, s, true);
  }
}

// ---- States of real solves ----

// Solves random models and, at every pass of the simplex loop, compares
// each kernel with its plain loop on the state of that moment.
void CheckSolves(int seeds, const testsupport::GenOptions& options, const SolverSettings& settings) {
  for (int seed = 0; seed < seeds; ++seed) {
    testsupport::Rng rng(static_cast<std::uint64_t>(seed) * 7919 + 17);
    const testsupport::Model model = testsupport::RandomModel(rng, options);
    const std::string text = testsupport::WriteTavoModel(model);
    auto W = std::make_unique<Workspace>();
    RecordingPort port;
    port.recordWrites = false;
    CalcRun run(*W, port);
    run.settings = settings;
    if (run.ParseModel(text) != 1) continue;
    int checked = 0;
    port.onPump = [&](long long pump) {
      if (pump > 40) return;
      SCOPED_TRACE("seed " + std::to_string(seed) + " pump " + std::to_string(pump));
      ++checked;
      ComparePricing(*W, settings, W->PHASE);
      for (int j = 0; j < W->NCOLS; ++j) CompareFtran(*W, settings, j);
      // The update of the pivot this pass would make.
      Pair p(*W, settings);
      p.run.BuildPrices();
      p.run.ChooseEntering();
      if (p.fast.JENTER >= 0) {
        p.fast.JCUR = p.fast.JENTER;
        p.run.Ftran();
        p.run.ChooseLeaving();
        if (p.fast.ILEAVE >= 0) CompareUpdate(p.fast, settings, p.fast.ILEAVE);
      }
      CompareReinvert(*W, settings, false);
      if (pump == 1) CompareReinvert(*W, settings, true);
    };
    run.SetupAndSolve();
    EXPECT_GT(checked, 0) << "seed " << seed;
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "model:\n" << text;
      return;
    }
  }
}

TEST(SolverKernels, RealSolvesMatchThePlainLoops) {
  testsupport::GenOptions options;
  options.maxGoals = 3;
  options.maxVars = 14;
  options.maxRows = 12;
  SolverSettings s = DefaultSettings();
  s.NOINVERT = 3;  // reinversions in the middle of the solves
  CheckSolves(30, options, s);
}

TEST(SolverKernels, IntegerSearchStatesMatchThePlainLoops) {
  testsupport::GenOptions options;
  options.maxVars = 8;
  options.maxRows = 6;
  options.intChance = 0.4;
  options.binChance = 0.2;
  options.boxAll = true;
  SolverSettings s = DefaultSettings();
  s.BB_LENGTH = 300;  // every comparison copies the workspace, node table included
  CheckSolves(15, options, s);
}

// The nonzero pattern of the matrix follows the column values through the
// branch and bound's substitutions: a scan of every column finds no nonzero
// entry outside its pattern, and the listed values are the matrix's.
TEST(SolverKernels, PatternCoversEveryNonzeroEntry) {
  testsupport::GenOptions options;
  options.maxVars = 8;
  options.maxRows = 6;
  options.intChance = 0.5;
  options.boxAll = true;
  for (int seed = 0; seed < 10; ++seed) {
    testsupport::Rng rng(static_cast<std::uint64_t>(seed) + 99);
    const std::string text = testsupport::WriteTavoModel(testsupport::RandomModel(rng, options));
    auto W = std::make_unique<Workspace>();
    RecordingPort port;
    port.recordWrites = false;
    CalcRun run(*W, port);
    run.settings = DefaultSettings();
    if (run.ParseModel(text) != 1) continue;
    port.onPump = [&](long long) {
      const int m = W->MROWS;
      ASSERT_EQ(W->APATM, m);
      for (int j = 0; j < W->NSTRUC; ++j) {
        if (W->APATDENSE[j]) continue;
        std::vector<int> listed(W->APATROW.begin() + W->APATBEG[j], W->APATROW.begin() + W->APATBEG[j + 1]);
        // The listed values are those of the matrix.
        for (std::int64_t p = W->APATBEG[j]; p < W->APATBEG[j + 1]; ++p) {
          ASSERT_EQ(W->APATVAL[p], W->AMAT[At(j, m, W->APATROW[p])]) << "column " << j;
        }
        for (int i = 0; i < m; ++i) {
          if (W->AMAT[At(j, m, i)] != 0) {
            ASSERT_TRUE(std::find(listed.begin(), listed.end(), i) != listed.end()) << "column " << j << " row " << i;
          }
        }
      }
    };
    run.SetupAndSolve();
  }
}

}  // namespace
}  // namespace tavo
