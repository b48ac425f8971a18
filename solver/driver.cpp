// The solve driver: resets the run state, solves the continuous problem,
// runs the branch and bound of an integer model, builds the reports at each
// solution and writes the phase and summary lines of the calculation log.
#include <cmath>

#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"

namespace tavo {

int CalcRun::RunSolve() {
  // 1.
  W.INFEAS = 1;
  W.g_bbState = 0;
  W.INVREQ = 0;
  W.PHASE = 0;
  W.JENTER = -2;
  W.ITER = 0;
  W.g_haveIncumbent = 0;
  W.g_bbCutShort = 0;
  W.g_bbCutBound = 0;
  W.SMODE = 0;
  g_forceStop.store(0);
  W.FEASSHOWN = 0;

  // 2.
  W.TSTAMP = port.Now();
  AppendTimeStampLine(T().g_bannerPrimal, W.TSTAMP);
  result.logText += T().g_msgPhase1Begin;

  // 3. The continuous problem.
  int code = RunSimplex();
  result.resultCode = code;
  W.ITERLP = W.ITER;

  // 4. Branch and bound of an integer model whose relaxation is optimal.
  if (W.NINT != 0 && code == kResultOptimal) {
    W.TSTAMP = port.Now();
    AppendTimeStampLine(T().g_bannerPrimal, W.TSTAMP);
    result.logText += T().g_msgBbStart;
    W.g_branchCount += 1;
    BuildReports(1);
    code = BranchAndBoundStep(code);
    while (W.g_bbState != 2) {
      W.JENTER = -2;
      code = W.NERR == 0 ? RunSimplex() : kResultSearchDataError;
      if (code == kResultForcedFeasible || code == kResultForcedInfeasible) break;
      if (code == kResultOptimal) {
        BuildReports(1);
        W.g_branchOptimalCount += 1;
      }
      port.SetField(ProgressField::kBranches, FormatInt(W.g_branchCount));
      W.g_branchCount += 1;
      code = BranchAndBoundStep(code);
    }
  }

  // 5. The closing block of an optimal run.
  if (code == kResultOptimal) {
    W.TNOW = port.Now();
    AppendTimeStampLine(T().g_bannerPrimal, W.TNOW);
    if (W.g_bbState == 0) {
      result.logText += T().g_msgPhase2End;
      BuildReports(1);
    }
    if (W.g_bbState == 2) {
      result.logText += T().g_msgBbEnd;
      result.logText += T().branchesLabel + FormatInt(W.g_branchOptimalCount) + "\r\n";
    }
    result.logText += T().iterationsLabel + FormatInt(static_cast<long long>(W.ITERLP) - 1) + "\r\n";
    result.logText += T().elapsedLabel + ElapsedText(W.TNOW);
  }

  // 6.
  if (code == kResultForcedFeasible && W.NINT == 0) {
    W.TNOW = port.Now();
    AppendTimeStampLine(T().g_bannerPrimal, W.TNOW);
    if (W.INFEAS == 0) {
      result.logText += T().forcedTermination;
      BuildReports(1);
    }
    result.logText += T().iterationsLabel + FormatInt(static_cast<long long>(W.ITERLP) - 1) + "\r\n";
    result.logText += T().elapsedLabel + ElapsedText(W.TNOW);
  } else if (code == kResultInfeasible) {
    result.logText += T().g_msgNoFeasible;
  } else if (code == kResultUnbounded) {
    result.logText += T().g_msgNoFinite;
  } else if (code == kResultIterationLimit) {
    result.logText += T().g_msgIterLimit;
  } else if (W.g_haveIncumbent == 1 && W.NINT != 0 &&
             (code == kResultForcedFeasible || code == kResultForcedInfeasible)) {
    // Forced termination during the search: the user sees the incumbent.
    result.columnsText = W.g_incumbentReports[0];
    result.rowsText = W.g_incumbentReports[1];
    result.errorText = W.g_incumbentReports[2];
    if (W.g_bbCutShort) W.TNOW = port.Now();
    result.logText += T().forcedTermination;
    result.logText += T().branchesLabel + FormatInt(static_cast<long long>(W.g_branchCount) + 1) + "\r\n";
    if (W.g_bbCutShort) AppendSearchCutShortLine();
    result.logText += T().elapsedLabel + ElapsedText(W.TNOW);
    return code;
  } else if (code == kResultForcedInfeasible) {
    result.logText += T().g_msgNoFeasible;
    if (W.g_bbCutShort) AppendSearchCutShortLine();
  }

  // 7.
  return code;
}

// Why a search ended without proof: the node table (BB_LENGTH) had no room
// to branch a node that could still improve the answer. Names the limit and
// gives the best first-goal row activity of the nodes left unbranched, and
// its distance from the incumbent's when there is one.
void CalcRun::AppendSearchCutShortLine() {
  std::string line =
      T().searchCutShort + FormatInt(settings.BB_LENGTH) + T().searchCutShortBound + FormatReal(W.g_bbCutBound);
  if (W.g_haveIncumbent == 1 && W.NGOALS > 0) {
    line += T().searchCutShortGap + FormatReal(std::fabs(W.g_bbCutBound - W.g_incumbentGoals[0]));
  }
  result.logText += line + "\r\n";
}

}  // namespace tavo
