// The natives the simulated game answers, by hash, with their labels and argument counts.
#pragma once

#include <cstdint>
#include <string_view>

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
    {NativeId::nameHash, 0xFD340785ADF8CFB7, "nameHash", 1, 0b1},
    {NativeId::controlWentDown, 0x580417101DDB492F, "controlWentDown", 2, 0},
    {NativeId::controlCameUp, 0x50F940259D3841E6, "controlCameUp", 2, 0},
    {NativeId::controlActive, 0xF3A21BCD95725A4A, "controlActive", 2, 0},
    {NativeId::namedStateActive, 0x4A123E85D7C4CA0B, "namedStateActive", 1, 0b1},
    {NativeId::hostTimer, 0x4F67E8ECA7D3F667, "hostTimer", 0, 0},
    {NativeId::perFrameHold, 0x90DA5BA5C2635416, "perFrameHold", 0, 0},
    {NativeId::forcedAimSubject, 0x217E9DC48139933D, "forcedAimSubject", 0, 0},
    {NativeId::forcedAim, 0xD5FCC166AEB2FD0F, "forcedAim", 5, 0},
    {NativeId::weaponQuerySubject, 0x096275889B8E0EE0, "weaponQuerySubject", 0, 0},
    {NativeId::currentWeapon, 0x3A87E44BB9A01D54, "currentWeapon", 5, 0},
};

// Null for a hash the game does not know.
inline const NativeInfo* findNative(uint64_t hash) {
  for (const NativeInfo& native : kNatives) {
    if (native.hash == hash) return &native;
  }
  return nullptr;
}

inline const NativeInfo& nativeInfo(NativeId id) {
  return kNatives[static_cast<size_t>(id)];
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
