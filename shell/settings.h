// The ten solver settings and their storage in the profile (section [Init]).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavo {

// The record is copied whole into every run; fields in record order.
struct SolverSettings {
  std::int32_t PMCMP = 0;        // carried along and stored; read by no solver step
  std::int32_t BB_LENGTH = 0;    // capacity of the branch-and-bound node table
  std::int32_t ICODE = 0;        // nonzero: confirm a solution by one more reinversion
  std::int32_t ROUND = 0;        // nonzero: reports round values to six decimals
  std::int32_t SENSITIVITY = 0;  // nonzero: bound rows and the right-hand-side ranging table
  std::int32_t NOINVERT = 0;     // reinversion interval in iterations
  std::int32_t MAXITERATE = 0;   // iteration limit (result code 4)
  double ETOL = 0;               // zero tolerance of the inverse arithmetic and reduced costs
  double ZTOL = 0;               // pivot and feasibility tolerance
  double CTOL = 0;               // pricing acceptance threshold (negative)
};

// The defaults a fresh profile gives.
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
