// Placeholder: replaced by the real implementation.
#include "shell/calc_run.h"
namespace tavo {
void CalcRun::LoadColumn() {}
void CalcRun::Ftran() {}
void CalcRun::UpdateInverse() {}
void CalcRun::Reinvert() {}
void CalcRun::CrashBasis() {}
void CalcRun::TestFeasible() {}
}  // namespace tavo
