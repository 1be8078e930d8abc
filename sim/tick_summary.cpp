#include "sim/tick_summary.h"

#include "host/contract.h"
#include "toggle/tap_rule.h"

namespace sim {

TickSummary summarizeTick(const std::vector<TraceEntry>& entries) {
  constexpr uint32_t kCameraHash = simNameHash(contract::kCameraControl);
  constexpr uint32_t kUnarmedHash = simNameHash(contract::kUnarmedWeapon);
  TickSummary summary;
  bool held = false;
  bool cameraActive = false;
  bool cancelled = false;
  for (const TraceEntry& entry : entries) {
    if (entry.kind == TraceKind::protocolError) ++summary.protocolErrors;
    if (entry.kind == TraceKind::scriptWait) ++summary.hostCalls;
    if (entry.kind != TraceKind::native) continue;
    ++summary.hostCalls;
    if (entry.native == nullptr) continue;
    const auto result = static_cast<uint32_t>(entry.result);
    switch (entry.native->hash) {
      case contract::kPerFrameHold:
        held = true;
        break;
      case contract::kForcedAim:
        summary.forcedAim = entry.args[1] != 0;
        break;
      case contract::kControlActive:
        cameraActive = entry.args[1] == kCameraHash && result != 0;
        break;
      case contract::kNamedStateActive:
        if (tap_rule::inputTaken(cameraActive, result != 0)) cancelled = true;
        cameraActive = false;
        break;
      case contract::kHostTimer:
        if (summary.timerSeenCount < summary.timerSeen.size()) {
          summary.timerSeen[summary.timerSeenCount++] = result;
        }
        break;
      case contract::kCurrentWeapon:
        // As the plugin takes it: only a nonzero result makes the slot worth reading, and the
        // slot is compared with the name hash of "WEAPON_UNARMED", which the game always gives.
        summary.weapon = result == 0 ? WeaponSeen::failed
                         : static_cast<uint32_t>(entry.outSlot) == kUnarmedHash
                             ? WeaponSeen::unarmed
                             : WeaponSeen::armed;
        break;
      default:
        break;
    }
  }
  summary.latch = held && !cancelled;
  return summary;
}

}  // namespace sim
