#include "cli/run/timeline.h"

#include "host/contract.h"
#include "sim/natives.h"

namespace cli {
namespace {

bool isNative(const sim::TraceEntry& entry, sim::NativeId id) {
  return entry.kind == sim::TraceKind::native && entry.native != nullptr && entry.native->id == id;
}

// The weapon query as the plugin takes it: only a nonzero result makes the slot worth reading,
// and the slot is compared with the hash the game gave it for "WEAPON_UNARMED".
WeaponSeen weaponSeen(const std::vector<sim::TraceEntry>& entries) {
  WeaponSeen seen = WeaponSeen::notAsked;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!isNative(entries[i], sim::NativeId::currentWeapon)) continue;
    if (static_cast<uint32_t>(entries[i].result) == 0) {
      seen = WeaponSeen::failed;
      continue;
    }
    uint32_t unarmedHash = sim::simNameHash(contract::kUnarmedWeapon);
    for (size_t k = i + 1; k < entries.size(); ++k) {
      if (isNative(entries[k], sim::NativeId::nameHash) &&
          entries[k].text == contract::kUnarmedWeapon) {
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

void TimelineSink::tick(const TickRecord& record, const std::vector<sim::TraceEntry>& entries) {
  ++timeline_.totalTicks;
  if (timeline_.ticks.size() >= kMaxTimelineTicks) return;
  TimelineTick& t = timeline_.ticks.emplace_back();
  static_cast<TickRecord&>(t) = record;
  t.weapon = weaponSeen(entries);
  for (const sim::TraceEntry& entry : entries) {
    if (entry.kind == sim::TraceKind::protocolError) ++t.protocolErrors;
    if (isNative(entry, sim::NativeId::hostTimer) && t.timerSeenCount < t.timerSeen.size()) {
      t.timerSeen[t.timerSeenCount++] = static_cast<uint32_t>(entry.result);
    }
  }
}

}  // namespace cli
