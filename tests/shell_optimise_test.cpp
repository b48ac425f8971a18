// The front ends' entry: the empty-text rule and the guard against a second
// run started from inside a running one (the desktop pumps window messages
// once per simplex iteration, so a menu command can arrive mid-run).
#include <gtest/gtest.h>

#include <string>

#include "shell/optimise.h"
#include "shell/recording_port.h"
#include "shell/texts.h"

namespace tavo {
namespace {

// A port whose message pump tries to start the optimise and check commands
// again, as a re-entrant window message would.
class ReentrantPort : public RecordingPort {
 public:
  void PumpOneMessage() override {
    RecordingPort::PumpOneMessage();
    if (tried) return;
    tried = true;
    inProgressSeen = RunInProgress();
    CalcResult ignored;
    nested = RunOptimiseCommand("MAX X\r\nST\r\nX <= 1\r\nEND\r\n", DefaultSettings(), *this);
    nestedCheck = RunCheckCommand("MAX X\r\nST\r\nX <= 1\r\nEND\r\n", DefaultSettings(), *this, ignored);
  }
  bool tried = false;
  bool inProgressSeen = false;
  CommandStatus nested = CommandStatus::kRan;
  CommandStatus nestedCheck = CommandStatus::kRan;
};

const char* const kModel = "MAX 2X + 3Y\r\nST\r\nX + Y <= 4\r\nX + 3Y <= 6\r\nEND\r\n";

TEST(OptimiseCommand, ASecondRunFromInsideARunIsRefusedAndTheFirstCompletes) {
  ReentrantPort port;
  ASSERT_EQ(RunOptimiseCommand(kModel, DefaultSettings(), port), CommandStatus::kRan);
  EXPECT_TRUE(port.tried);
  EXPECT_TRUE(port.inProgressSeen);
  EXPECT_EQ(port.nested, CommandStatus::kBusy);
  EXPECT_EQ(port.nestedCheck, CommandStatus::kBusy);
  EXPECT_EQ(g_lastModelText, kModel);  // the refused call changed nothing
  EXPECT_EQ(g_lastResult.resultCode, kResultOptimal);
  EXPECT_FALSE(RunInProgress());
  // And the next run starts normally.
  RecordingPort again;
  EXPECT_EQ(RunOptimiseCommand(kModel, DefaultSettings(), again), CommandStatus::kRan);
}

TEST(OptimiseCommand, EmptyTextIsRefusedWithTheSameWordsByBothCommands) {
  RecordingPort port;
  EXPECT_EQ(RunOptimiseCommand("", DefaultSettings(), port), CommandStatus::kEmptyText);
  EXPECT_EQ(g_lastResult.logText, T().noInputData + "\r\n");
  CalcResult checked;
  EXPECT_EQ(RunCheckCommand("", DefaultSettings(), port, checked), CommandStatus::kEmptyText);
  EXPECT_EQ(checked.logText, g_lastResult.logText);
  ASSERT_EQ(port.messages.size(), 2u);
  for (const auto& m : port.messages) {
    EXPECT_EQ(m.text, T().noInputData);
    EXPECT_EQ(m.iconStyle, IconStyle::kStop);
  }
}

TEST(CheckCommand, LeavesTheLastOptimiseOutcomeAlone) {
  RecordingPort port;
  ASSERT_EQ(RunOptimiseCommand(kModel, DefaultSettings(), port), CommandStatus::kRan);
  const CalcResult before = g_lastResult;
  CalcResult checked;
  EXPECT_EQ(RunCheckCommand("MAX X\r\nST\r\nX <= \r\n", DefaultSettings(), port, checked),
            CommandStatus::kDataErrors);
  EXPECT_EQ(g_lastResult.logText, before.logText);
  EXPECT_EQ(g_lastModelText, kModel);
  EXPECT_EQ(port.messages.back().text, T().dataErrorBox);
}

TEST(OptimiseCommand, ValuesThatOverflowEndAsADataErrorNotAsAnAnswer) {
  // 1e300 X with X up to 1e10: the goal's value is beyond the range of a double.
  const std::string model = "MAX 1" + std::string(300, '0') + "X\r\nST\r\nX <= 10000000000\r\nEND\r\n";
  RecordingPort port;
  ASSERT_EQ(RunOptimiseCommand(model, DefaultSettings(), port), CommandStatus::kRan);
  EXPECT_EQ(g_lastResult.resultCode, kResultDataError);
  EXPECT_NE(g_lastResult.logText.find(T().setupNotFinite + T().solutionLabel), std::string::npos);
  EXPECT_TRUE(g_lastResult.columnsText.empty() && g_lastResult.rowsText.empty());
  EXPECT_EQ(port.messages.back().text, T().dataErrorBox);
}

}  // namespace
}  // namespace tavo
