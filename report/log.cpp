// Pieces of the calculation log that several stages append.
#include <cstdio>

#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"

namespace tavo {

void CalcRun::AppendTimeStampLine(const std::string& banner, TimePoint t) {
  result.logText += banner;
  result.logText += port.FormatDateTime(t);
  result.logText += "\r\n";
}

std::string CalcRun::ElapsedText(TimePoint t) const {
  long long seconds = std::chrono::duration_cast<std::chrono::seconds>(t - W.TSTART).count();
  if (seconds < 0) seconds = 0;
  // Hours within a day, as the time-span format shows them.
  int h = static_cast<int>((seconds / 3600) % 24);
  int m = static_cast<int>((seconds / 60) % 60);
  int s = static_cast<int>(seconds % 60);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, m, s);
  return buf;
}

void CalcRun::ReportLineError(const std::string& message, const std::string& detail) {
  result.logText += T().linePrefix;
  result.logText += FormatInt(P.g_lineNo);
  result.logText += message;
  result.logText += detail;
  result.logText += T().detailEnd;
  ++W.NERR;
}

}  // namespace tavo
