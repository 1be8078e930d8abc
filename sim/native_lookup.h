// Lookups the host makes at every native call, made cheap: the natives by hash, with one table
// lookup instead of a search, and the hashes of names the plugin passes again and again.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "sim/natives.h"

namespace sim {
namespace native_lookup {

// Five bits of the hash pick a slot; the shift is the lowest at which no two natives share
// one, found at compile time. -1 if there is none: then the lookup searches.
inline constexpr int kShift = [] {
  for (int shift = 0; shift <= 59; ++shift) {
    uint32_t used = 0;
    for (const NativeInfo& native : kNatives) used |= 1u << ((native.hash >> shift) & 31);
    if (static_cast<size_t>(std::popcount(used)) == std::size(kNatives)) return shift;
  }
  return -1;
}();

// Zero: no native; else its index in kNatives plus one.
inline constexpr std::array<uint8_t, 32> kSlots = [] {
  std::array<uint8_t, 32> slots{};
  for (size_t i = 0; kShift >= 0 && i < std::size(kNatives); ++i) {
    slots[(kNatives[i].hash >> kShift) & 31] = static_cast<uint8_t>(i + 1);
  }
  return slots;
}();

}  // namespace native_lookup

// The same answer as findNative.
constexpr const NativeInfo* lookupNative(uint64_t hash) {
  if constexpr (native_lookup::kShift < 0) return findNative(hash);
  const uint8_t slot = native_lookup::kSlots[(hash >> native_lookup::kShift) & 31];
  return slot != 0 && kNatives[slot - 1].hash == hash ? &kNatives[slot - 1] : nullptr;
}

static_assert([] {
  for (const NativeInfo& native : kNatives) {
    if (lookupNative(native.hash) != &native || lookupNative(native.hash ^ 1) != nullptr) {
      return false;
    }
  }
  return true;
}());

// The name hashes last computed, by the name's address. The plugin hashes the same few
// literals every tick; comparing a name's bytes with the copy kept is cheaper than hashing them
// again one after the other, and a name changed in place is still seen.
class NameHashes {
 public:
  uint32_t of(std::string_view name) {
    Entry& entry = entries_[(reinterpret_cast<uintptr_t>(name.data()) >> 3) % entries_.size()];
    if (entry.address == name.data() && entry.length == name.size() &&
        std::memcmp(entry.bytes, name.data(), name.size()) == 0) {
      return entry.hash;
    }
    const uint32_t hash = simNameHash(name);
    if (name.size() <= sizeof(entry.bytes)) {
      entry.address = name.data();
      entry.length = name.size();
      std::memcpy(entry.bytes, name.data(), name.size());
      entry.hash = hash;
    }
    return hash;
  }

 private:
  struct Entry {
    const char* address = nullptr;
    size_t length = 0;
    uint32_t hash = 0;
    char bytes[32] = {};
  };
  std::array<Entry, 16> entries_{};
};

}  // namespace sim
