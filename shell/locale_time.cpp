#include "shell/locale_time.h"

#include <langinfo.h>

#include <ctime>
#include <string_view>

#include "shell/codec.h"

namespace tavo {

LocaleClock::LocaleClock() {
  locale_ = newlocale(LC_CTYPE_MASK | LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (locale_ == static_cast<locale_t>(0))
    locale_ = newlocale(LC_CTYPE_MASK | LC_TIME_MASK, "C", static_cast<locale_t>(0));
  const char* codeset = locale_ != static_cast<locale_t>(0) ? nl_langinfo_l(CODESET, locale_) : nullptr;
  codeset_ = codeset && *codeset ? codeset : "ANSI_X3.4-1968";
}

LocaleClock::~LocaleClock() {
  if (locale_ != static_cast<locale_t>(0)) freelocale(locale_);
}

std::string LocaleClock::DateAndTime(TimePoint t) const {
  std::time_t seconds = Clock::to_time_t(t);
  std::tm local{};
  localtime_r(&seconds, &local);
  char buffer[256];
  const std::size_t n = locale_ != static_cast<locale_t>(0)
                            ? strftime_l(buffer, sizeof buffer, "%x %X", &local, locale_)
                            : std::strftime(buffer, sizeof buffer, "%x %X", &local);
  const std::string_view text(buffer, n);
  for (char c : text) {
    // A locale's own characters (a Japanese date) are converted; plain ASCII stays as it is.
    if (static_cast<unsigned char>(c) >= 0x80) return ToCp932From(text, codeset_.c_str());
  }
  return std::string(text);
}

}  // namespace tavo
