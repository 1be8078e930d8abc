// What one tick's calls show of the plugin's state: whether the latch held and what it sent.
#pragma once

#include <optional>
#include <vector>

#include "sim/trace.h"

namespace sim {

struct TickSummary {
  bool latch = false;             // the per-tick hold call was made and no camera cancel followed
  std::optional<bool> forcedAim;  // the value sent, if forcedAim was called
  size_t hostCalls = 0;           // natives and scriptWait made by the script
};

TickSummary summarizeTick(const std::vector<TraceEntry>& entries);

}  // namespace sim
