// The ten solver settings and their storage in the profile (section [Init]).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavo {

// The record is copied whole into every run; fields in record order. The
// member initialisers are the defaults a fresh profile gives. Each comment
// lists every place in the core that reads the setting.
struct SolverSettings {
  // Carried along, read from and written to the profile; no solver step reads it.
  std::int32_t PMCMP = 0;

  // Capacity of the branch-and-bound node table. Read by: set-up (the table
  // it sizes, at least the root); the branching test of each search step (no
  // branching once the last node index reaches BB_LENGTH - 2, and no further
  // node is taken up then).
  std::int32_t BB_LENGTH = 90000;

  // Nonzero: a solution the simplex finds is confirmed by one more
  // reinversion and pricing pass before it is reported optimal. Read by: the
  // simplex loop only.
  std::int32_t ICODE = 1;

  // Nonzero: the reports round activities and dual prices to six decimals
  // (and keep the rounded activities in XACT and RACT, which the branch and
  // bound then judges). Read by: the columns report (activities; reduced
  // costs are rounded whatever ROUND says), the rows table (activities and
  // dual prices), the ranging limits.
  std::int32_t ROUND = 1;

  // Nonzero, for a model without integer columns: the right-hand-side
  // ranging table. Read by: the parser (one extra bound row per SUB or SLB),
  // the reports (the ranging table), the undoing of the bound substitution
  // (which then also takes the rows back to the model's terms).
  std::int32_t SENSITIVITY = 0;

  // Reinversion interval in iterations. Read by: the simplex loop only.
  std::int32_t NOINVERT = 200;

  // Iteration limit: the simplex stops with result code 4 before the pivot
  // that would reach it. Read by: the simplex loop only.
  std::int32_t MAXITERATE = 90000;

  // The zero tolerance of the inverse arithmetic and of the reduced costs. It
  // gates:
  //   - FTRAN: entries of the inverse below ETOL are skipped, sums below it
  //     become 0;
  //   - the inverse update: entries of the pivot row and multipliers below
  //     ETOL are skipped;
  //   - reinversion: the basic values' update skips entries below ETOL, and
  //     basic values below it become 0 at the end;
  //   - pricing: reduced costs below ETOL become 0 (the column is no
  //     candidate at that level);
  //   - the pivot: a step below ETOL becomes 0, and basic values within ETOL
  //     of 0 or of 1 are snapped to 0 or 1 (also in the ratio test's check
  //     that a step keeps the rows within their bounds);
  //   - the branch and bound: integrality (a fractional part below ETOL, or
  //     within ETOL of 1, is integral), the penalties (inverse entries of
  //     magnitude ETOL or less are ignored, and lower goals decide only when
  //     every penalty is at most ETOL), and the test that a branching changed
  //     the branched variable's value;
  //   - the reports: dual prices below ETOL are shown as 0, and a goal whose
  //     value is below ETOL in magnitude is reported as attained.
  double ETOL = 5.0e-13;

  // The pivot and feasibility tolerance. It gates:
  //   - reinversion: a basic column whose largest pivot is below ZTOL is left
  //     out of the basis;
  //   - the feasibility test: values below ZTOL count as 0, and a bounded
  //     column within ZTOL of 1 counts as 1;
  //   - pricing: price-vector entries below ZTOL are skipped (also in the
  //     reduced costs the reports use), and in phase 1 rows whose value is
  //     below ZTOL take no part in the gradient;
  //   - the ratio test: entries of the entering column below ZTOL, basic
  //     values below ZTOL (of 0 or of 1), ratios within ZTOL of the minimum
  //     (a tie for the tie rule, which itself compares by ZTOL), and a bound
  //     relaxed by half of ZTOL when the limiting rows are found;
  //   - the branch and bound: goal values below ZTOL become 0, and nodes
  //     are compared with the incumbent goal by goal by ZTOL;
  //   - the undoing of the bound substitution: matrix entries and right-hand
  //     sides below ZTOL become 0;
  //   - the reports: reduced costs below ZTOL are shown as 0, and the
  //     ranging table treats inverse entries below ZTOL as 0.
  double ZTOL = 5.0e-12;

  // Pricing acceptance threshold (negative): the starting best value of each
  // level, so that a column is a candidate only if minus its absolute reduced
  // cost lies below CTOL. Read by: pricing only.
  double CTOL = -5.0e-11;
};

// The defaults a fresh profile gives: SolverSettings{}.
SolverSettings DefaultSettings();

// The default texts of the tolerances as a fresh profile reads them.
constexpr const char* kDefaultEtolText = "5.0e-13";
constexpr const char* kDefaultZtolText = "5.0e-12";
constexpr const char* kDefaultCtolText = "-5.0e-11";

// The user's profile: ${XDG_CONFIG_HOME:-$HOME/.config}/Marvolen/TAVO.ini.
std::string DefaultProfilePath();

// Loads the settings from section [Init] of the profile file. A missing file,
// a missing key or an empty file gives the defaults; integers read as
// integers, tolerances as text converted the way strtod does.
SolverSettings LoadSettings(const std::string& profilePath);

// Writes the settings into section [Init] (integers first, then the
// tolerances in the report number format), keeping the other sections.
// Returns false when the file cannot be written.
bool SaveSettings(const std::string& profilePath, const SolverSettings& settings);

// Sets one setting by its key name from text (integers as whole numbers,
// tolerances as decimal numbers). Returns false for an unknown key or a
// value that is not wholly a number of the right kind.
bool SetSettingByName(SolverSettings& settings, const std::string& key, const std::string& value);

}  // namespace tavo
