// What one tick's calls show of the plugin's state: whether the latch held and what it sent,
// and what it read and saw on the way.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/trace.h"

namespace sim {

// What the plugin's weapon query found on a tick.
enum class WeaponSeen : uint8_t { notAsked, failed, armed, unarmed };

struct TickSummary {
  bool latch = false;             // the per-tick hold call was made and no camera cancel followed
  std::optional<bool> forcedAim;  // the value sent, if forcedAim was called
  size_t hostCalls = 0;           // natives and scriptWait made by the script
  // The plugin's own timer reads, in order (a press, then the two ends of the tap window);
  // only the first few matter.
  std::array<uint32_t, 3> timerSeen{};
  uint8_t timerSeenCount = 0;
  WeaponSeen weapon = WeaponSeen::notAsked;
  uint32_t protocolErrors = 0;
};

TickSummary summarizeTick(const std::vector<TraceEntry>& entries);

}  // namespace sim
