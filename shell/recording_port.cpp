#include "shell/recording_port.h"

namespace tavo {

void RecordingPort::SetField(ProgressField id, const std::string& text) {
  fields[id] = text;
  if (recordWrites) fieldWrites.emplace_back(id, text);
}

void RecordingPort::PumpOneMessage() {
  ++pumps;
  if (onPump) onPump(pumps);
}

void RecordingPort::ShowMessage(const std::string& text, IconStyle iconStyle) { messages.push_back({text, iconStyle}); }

TimePoint RecordingPort::Now() { return now; }

std::string RecordingPort::FormatDateTime(TimePoint) { return dateTimeText; }

}  // namespace tavo
