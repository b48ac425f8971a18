// Placeholder: replaced by the real implementation.
#include "shell/calc_run.h"
namespace tavo {
int CalcRun::RunSolve() { return 0; }
}  // namespace tavo
