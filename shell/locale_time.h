// The user's locale's date and time of day, as the log's time stamps and the
// printed page headers show them: code page 932 text, whatever the locale's
// own character set.
#pragma once

#include <locale.h>

#include <string>

#include "shell/port.h"

namespace tavo {

class LocaleClock {
 public:
  // Takes the time and character-type categories from the environment
  // (LC_ALL, LC_TIME, LANG); an unknown locale falls back to "C".
  LocaleClock();
  ~LocaleClock();
  LocaleClock(const LocaleClock&) = delete;
  LocaleClock& operator=(const LocaleClock&) = delete;

  // The locale's date, a blank, then its time of day ("%x %X").
  std::string DateAndTime(TimePoint t) const;

 private:
  locale_t locale_ = static_cast<locale_t>(0);
  std::string codeset_;
};

}  // namespace tavo
