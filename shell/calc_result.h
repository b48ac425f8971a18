// The outcome of one run, as a front end receives it.
#pragma once

#include <cstdint>
#include <string>

namespace tavo {

// Result codes of a run (the progress window's result field and the status
// message chosen after it).
constexpr int kResultDataError = 0;
constexpr int kResultOptimal = 1;
constexpr int kResultInfeasible = 2;
constexpr int kResultUnbounded = 3;
constexpr int kResultIterationLimit = 4;
constexpr int kResultSearchDataError = 5;
constexpr int kResultForcedFeasible = 6;
constexpr int kResultForcedInfeasible = 7;

// The four texts (code page 932, CR LF) and the result code.
struct CalcResult {
  std::string logText;
  std::string columnsText;
  std::string rowsText;
  std::string errorText;
  std::int32_t resultCode = 0;
};

}  // namespace tavo
