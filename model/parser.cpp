// Placeholder: replaced by the real implementation.
#include "shell/calc_run.h"
namespace tavo {
int CalcRun::ParseModel(std::string) { return 0; }
void CalcRun::CountModel() {}
}  // namespace tavo
