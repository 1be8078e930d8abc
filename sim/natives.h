// The natives the simulated game answers, by hash, with their labels and argument counts.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/contract.h"

namespace sim {

// How the trace shows a value: a hash or handle in hex, a count or truth value in decimal, a
// timer signed.
enum class Shown : uint8_t { hex, decimal, signedDecimal };

struct NativeInfo {
  uint64_t hash;
  std::string_view label;
  uint8_t argCount;
  // Bit i set: argument i is the address of a NUL-terminated name.
  uint8_t stringArgs;
  // Bit i set: argument i is a hash or a handle, shown in hex; the others are shown in decimal.
  uint8_t hexArgs;
  Shown result;
};

inline constexpr NativeInfo kNatives[] = {
    {contract::kNameHash, "nameHash", 1, 0b1, 0, Shown::hex},
    {contract::kControlWentDown, "controlWentDown", 2, 0, 0b10, Shown::decimal},
    {contract::kControlCameUp, "controlCameUp", 2, 0, 0b10, Shown::decimal},
    {contract::kControlActive, "controlActive", 2, 0, 0b10, Shown::decimal},
    {contract::kNamedStateActive, "namedStateActive", 1, 0b1, 0, Shown::decimal},
    {contract::kHostTimer, "hostTimer", 0, 0, 0, Shown::signedDecimal},
    {contract::kPerFrameHold, "perFrameHold", 0, 0, 0, Shown::hex},
    {contract::kForcedAimSubject, "forcedAimSubject", 0, 0, 0, Shown::hex},
    {contract::kForcedAim, "forcedAim", 5, 0, 0b1, Shown::hex},
    {contract::kWeaponQuerySubject, "weaponQuerySubject", 0, 0, 0, Shown::hex},
    {contract::kCurrentWeapon, "currentWeapon", 5, 0, 0b1, Shown::decimal},
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
