// Placeholder: replaced by the real implementation.
#include "shell/calc_run.h"
namespace tavo {
int CalcRun::RunSimplex() { return 0; }
void CalcRun::BuildPrices() {}
void CalcRun::ChooseEntering() {}
void CalcRun::PriceColumn() {}
void CalcRun::ChooseLeaving() {}
void CalcRun::BreakTie() {}
void CalcRun::Pivot() {}
}  // namespace tavo
