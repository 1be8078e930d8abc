// The natives the simulated game answers, by hash, with their labels and argument counts.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/contract.h"

namespace sim {

enum class NativeId : uint8_t {
  nameHash,
  controlWentDown,
  controlCameUp,
  controlActive,
  namedStateActive,
  hostTimer,
  perFrameHold,
  forcedAimSubject,
  forcedAim,
  weaponQuerySubject,
  currentWeapon,
};

struct NativeInfo {
  NativeId id;
  uint64_t hash;
  std::string_view label;
  uint8_t argCount;
  // Bit i set: argument i is the address of a NUL-terminated name.
  uint8_t stringArgs;
};

inline constexpr NativeInfo kNatives[] = {
    {NativeId::nameHash, contract::kNameHash, "nameHash", 1, 0b1},
    {NativeId::controlWentDown, contract::kControlWentDown, "controlWentDown", 2, 0},
    {NativeId::controlCameUp, contract::kControlCameUp, "controlCameUp", 2, 0},
    {NativeId::controlActive, contract::kControlActive, "controlActive", 2, 0},
    {NativeId::namedStateActive, contract::kNamedStateActive, "namedStateActive", 1, 0b1},
    {NativeId::hostTimer, contract::kHostTimer, "hostTimer", 0, 0},
    {NativeId::perFrameHold, contract::kPerFrameHold, "perFrameHold", 0, 0},
    {NativeId::forcedAimSubject, contract::kForcedAimSubject, "forcedAimSubject", 0, 0},
    {NativeId::forcedAim, contract::kForcedAim, "forcedAim", 5, 0},
    {NativeId::weaponQuerySubject, contract::kWeaponQuerySubject, "weaponQuerySubject", 0, 0},
    {NativeId::currentWeapon, contract::kCurrentWeapon, "currentWeapon", 5, 0},
};

// Null for a hash the game does not know.
inline const NativeInfo* findNative(uint64_t hash) {
  for (const NativeInfo& native : kNatives) {
    if (native.hash == hash) return &native;
  }
  return nullptr;
}

// The game's name hash in this simulation: 32-bit FNV-1a of the name's bytes.
constexpr uint32_t simNameHash(std::string_view name) {
  uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace sim
