// A port that records everything the run shows, for tests and benchmarks.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/port.h"

namespace tavo {

class RecordingPort : public RunPort {
 public:
  struct Message {
    std::string text;
    IconStyle iconStyle;
  };

  void SetField(ProgressField id, const std::string& text) override;
  void PumpOneMessage() override;
  void ShowMessage(const std::string& text, IconStyle iconStyle) override;
  TimePoint Now() override;
  std::string FormatDateTime(TimePoint t) override;

  // Last text of each field, every write in order, message boxes in order.
  std::map<ProgressField, std::string> fields;
  std::vector<std::pair<ProgressField, std::string>> fieldWrites;
  std::vector<Message> messages;
  long long pumps = 0;
  // Called at every pump with the pump count; tests use it to press the
  // forced-termination button at a chosen moment.
  std::function<void(long long)> onPump;
  // With `recordWrites` off only the last text of each field is kept (cheap
  // enough for benchmarks).
  bool recordWrites = true;
  // The clock stands still at this moment; the date-time text is fixed.
  TimePoint now = TimePoint{} + std::chrono::hours(24 * 365 * 56);
  std::string dateTimeText = "2026/12/06 12:00:00";
};

}  // namespace tavo
