// Placeholder: replaced by the real implementation.
#include "shell/calc_run.h"
namespace tavo {
int CalcRun::BranchAndBoundStep(int r) { return r; }
bool CalcRun::ImprovesIncumbent() { return false; }
void CalcRun::SelectBranchingVariable() {}
void CalcRun::PrepareNode() {}
void CalcRun::UndoBoundSubstitution() {}
}  // namespace tavo
