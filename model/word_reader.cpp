// Placeholder: replaced by the real implementation.
#include "shell/calc_run.h"
namespace tavo {
std::string CalcRun::ReadWord(const std::string&) { return {}; }
std::string CalcRun::ReadTerm(const std::string&) { return {}; }
int CalcRun::IsValidName() { return 0; }
int CalcRun::FindVariable(int) { return 0; }
}  // namespace tavo
