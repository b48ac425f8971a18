#include "shell/settings.h"

#include <cstdlib>

#include "shell/numbers.h"
#include "shell/profile.h"

namespace tavo {
namespace {

constexpr const char* kSection = "Init";

// Integer keys in the order the profile is read and written.
struct IntKey {
  const char* name;
  std::int32_t SolverSettings::*field;
};
constexpr IntKey kIntKeys[] = {
    {"PMCMP", &SolverSettings::PMCMP},         {"ICODE", &SolverSettings::ICODE},
    {"ROUND", &SolverSettings::ROUND},         {"SENSITIVITY", &SolverSettings::SENSITIVITY},
    {"NOINVERT", &SolverSettings::NOINVERT},   {"MAXITERATE", &SolverSettings::MAXITERATE},
    {"BB_LENGTH", &SolverSettings::BB_LENGTH},
};

struct RealKey {
  const char* name;
  double SolverSettings::*field;
  const char* defaultText;
};
constexpr RealKey kRealKeys[] = {
    {"ETOL", &SolverSettings::ETOL, kDefaultEtolText},
    {"ZTOL", &SolverSettings::ZTOL, kDefaultZtolText},
    {"CTOL", &SolverSettings::CTOL, kDefaultCtolText},
};

// A whole number: optional sign, digits, nothing else (blanks around allowed).
bool ParseWholeNumber(const std::string& text, std::int32_t& out) {
  std::size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  std::size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = i;
  while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits) return false;
  std::size_t end = i;
  while (i < n && text[i] == ' ') ++i;
  if (i != n || end - digits > 10) return false;
  long long v = std::strtoll(text.substr(start, end - start).c_str(), nullptr, 10);
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace

SolverSettings DefaultSettings() { return SolverSettings{}; }

std::string DefaultProfilePath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : ".") + "/.config";
  }
  return base + "/Marvolen/TAVO.ini";
}

SolverSettings LoadSettings(const std::string& profilePath) {
  Profile profile;
  profile.Load(profilePath);
  SolverSettings defaults = DefaultSettings();
  SolverSettings s = defaults;
  for (const IntKey& k : kIntKeys) {
    auto v = profile.Get(kSection, k.name);
    // Integers read the way the profile reads them: leading digits count.
    s.*k.field = v ? CAtoi(*v) : defaults.*k.field;
  }
  for (const RealKey& k : kRealKeys) {
    auto v = profile.Get(kSection, k.name);
    s.*k.field = CStrtod(v ? *v : std::string(k.defaultText));
  }
  return s;
}

bool SaveSettings(const std::string& profilePath, const SolverSettings& settings) {
  Profile profile;
  profile.Load(profilePath);
  for (const IntKey& k : kIntKeys) profile.Set(kSection, k.name, FormatInt(settings.*k.field));
  for (const RealKey& k : kRealKeys) profile.Set(kSection, k.name, FormatReal(settings.*k.field));
  return profile.Save(profilePath);
}

bool SetSettingByName(SolverSettings& settings, const std::string& key, const std::string& value) {
  for (const IntKey& k : kIntKeys) {
    if (key != k.name) continue;
    return ParseWholeNumber(value, settings.*k.field);
  }
  for (const RealKey& k : kRealKeys) {
    if (key != k.name) continue;
    std::size_t used = 0;
    double v = CStrtod(value, &used);
    if (value.empty() || used != value.size()) return false;
    settings.*k.field = v;
    return true;
  }
  return false;
}

}  // namespace tavo
