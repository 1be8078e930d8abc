#include "sim/tick_summary.h"

#include "host/contract.h"
#include "toggle/tap_rule.h"

namespace sim {
namespace {

bool isNative(const TraceEntry& entry, NativeId id) {
  return entry.kind == TraceKind::native && entry.native != nullptr && entry.native->id == id;
}

// The weapon query as the plugin takes it: only a nonzero result makes the slot worth reading,
// and the slot is compared with the hash the game gave it for "WEAPON_UNARMED".
WeaponSeen weaponSeen(const std::vector<TraceEntry>& entries) {
  WeaponSeen seen = WeaponSeen::notAsked;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!isNative(entries[i], NativeId::currentWeapon)) continue;
    if (static_cast<uint32_t>(entries[i].result) == 0) {
      seen = WeaponSeen::failed;
      continue;
    }
    uint32_t unarmedHash = simNameHash(contract::kUnarmedWeapon);
    for (size_t k = i + 1; k < entries.size(); ++k) {
      if (isNative(entries[k], NativeId::nameHash) && entries[k].text == contract::kUnarmedWeapon) {
        unarmedHash = static_cast<uint32_t>(entries[k].result);
        break;
      }
    }
    seen = static_cast<uint32_t>(entries[i].outSlot) == unarmedHash ? WeaponSeen::unarmed
                                                                    : WeaponSeen::armed;
  }
  return seen;
}

}  // namespace

TickSummary summarizeTick(const std::vector<TraceEntry>& entries) {
  constexpr uint32_t kCameraHash = simNameHash(contract::kCameraControl);
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
    switch (entry.native->id) {
      case NativeId::perFrameHold:
        held = true;
        break;
      case NativeId::forcedAim:
        summary.forcedAim = entry.args[1] != 0;
        break;
      case NativeId::controlActive:
        cameraActive = entry.args[1] == kCameraHash && result != 0;
        break;
      case NativeId::namedStateActive:
        if (tap_rule::inputTaken(cameraActive, result != 0)) cancelled = true;
        cameraActive = false;
        break;
      case NativeId::hostTimer:
        if (summary.timerSeenCount < summary.timerSeen.size()) {
          summary.timerSeen[summary.timerSeenCount++] = result;
        }
        break;
      default:
        break;
    }
  }
  summary.latch = held && !cancelled;
  summary.weapon = weaponSeen(entries);
  return summary;
}

}  // namespace sim
