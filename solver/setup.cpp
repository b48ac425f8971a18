// Placeholder: replaced by the real implementation.
#include "shell/calc_run.h"
namespace tavo {
int CalcRun::SetupAndSolve() { return 0; }
void CalcRun::TransformModel(int) {}
}  // namespace tavo
