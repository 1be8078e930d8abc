// The simulated game behind the host: answers each native from the tick's inputs, hands out
// subject handles good for one call, and in junk mode fills what a careful plugin never reads
// with noise. The host checks the protocol and runs the scripts; the game only answers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/contract.h"
#include "sim/natives.h"

namespace sim {

// What holds in the game during one tick: the controls and states a player changes from tick to
// tick, the weapon in hand, and the timer.
struct TickInputs {
  bool aimDown = false;     // the aim control goes down on this tick
  bool aimUp = false;       // the aim control comes up on this tick
  bool sprint = false;      // the sprint control is active
  bool nextCamera = false;  // the next-camera control is active
  bool wheel = false;       // the "WheelHUDin" state is active
  std::string weapon = "WEAPON_PISTOL";
  bool weaponQueryFails = false;
  // Successive hostTimer reads within the tick; reads past the end repeat the last value, so
  // two reads in one tick may differ or even run backwards. None: the timer reads 0.
  std::vector<uint32_t> timerReads;
};

struct HostOptions {
  // Fill the high half of every result with junk and make every true result an arbitrary
  // nonzero value, so that a plugin reading more than the low half, or comparing with 1, shows.
  bool junkResults = false;
  uint64_t seed = 1;  // of the junk, so that runs repeat
};

// What the game found wrong in a call it answered, as bits: the host reports them in this order.
enum GameFault : uint8_t {
  kNoFault = 0,
  kStaleHandle = 1,     // a subject handle not asked for right before
  kNullWeaponSlot = 2,  // currentWeapon given nowhere to write
};

class SimulatedGame {
 public:
  explicit SimulatedGame(HostOptions options)
      : options_(options), junkState_(options.seed * 0x9E3779B97F4A7C15ull + 1) {}

  // What holds in the next tick; it stays as it is until changed.
  TickInputs& inputs() { return inputs_; }

  void beginTick(uint64_t tick) {
    timerRead_ = 0;
    // Each tick's junk depends on the seed and the tick alone, not on what ran before it.
    junkState_ = (options_.seed + tick) * 0x9E3779B97F4A7C15ull;
  }

  // The slot keeps a result only until the next host call; after that it reads as junk: the
  // generator's state unmixed, which moves on as junk() would.
  uint64_t scribble() { return (junkState_ += 0x9E3779B97F4A7C15ull) | 0x8000000000000001ull; }

  // The low half of a known native's result, its argument count already checked. `name` is
  // the string argument read, if the native takes one. currentWeapon's write goes to *outSlot
  // too, when the host traces it.
  uint32_t answer(const NativeInfo& native, const uint64_t* args, std::string_view name,
                  uint8_t& faults, uint64_t* outSlot);
  // A call the game did not answer (null: of an unknown native). A handle survives only a
  // subject call's own failure.
  void unanswered(const NativeInfo* native) {
    if (native == nullptr || (native->hash != contract::kForcedAimSubject &&
                              native->hash != contract::kWeaponQuerySubject)) {
      lastHandle_ = 0;
    }
  }

  // The whole result slot for a low half.
  uint64_t withHighHalf(uint32_t low) {
    const uint64_t high = options_.junkResults ? junk() >> 32 : 0;
    return (high << 32) | low;
  }

 private:
  // splitmix64: cheap, and the same numbers on every platform.
  uint64_t junk() {
    uint64_t z = (junkState_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t truth(bool value) {
    if (!value) return 0;
    if (!options_.junkResults) return 1;
    const uint32_t any = static_cast<uint32_t>(junk());
    return any != 0 ? any : 2;
  }
  // A result the plugin has no business reading.
  uint32_t unusedResult() { return options_.junkResults ? static_cast<uint32_t>(junk()) : 0; }
  uint32_t controlState(uint64_t native, uint64_t group, uint64_t control) const;
  uint32_t freshHandle(uint64_t subjectNative);
  bool goodHandle(uint64_t handle, uint64_t subjectNative) const {
    return lastHandle_ != 0 && lastHandleFrom_ == subjectNative && handle == lastHandle_;
  }
  uint32_t currentWeapon(const uint64_t* args, uint8_t& faults, uint64_t* outSlot);

  HostOptions options_;
  TickInputs inputs_;
  uint64_t junkState_;
  size_t timerRead_ = 0;
  uint32_t handleCounter_ = 0;
  uint32_t lastHandle_ = 0;  // 0: no handle is good for the next call
  uint64_t lastHandleFrom_ = contract::kForcedAimSubject;
};

inline uint32_t SimulatedGame::controlState(uint64_t native, uint64_t group,
                                            uint64_t control) const {
  constexpr uint32_t kAimHash = simNameHash(contract::kAimControl);
  constexpr uint32_t kSprintHash = simNameHash(contract::kSprintControl);
  constexpr uint32_t kCameraHash = simNameHash(contract::kCameraControl);
  if (native == contract::kControlWentDown && group == contract::kAimGroup && control == kAimHash) {
    return inputs_.aimDown;
  }
  if (native == contract::kControlCameUp && group == contract::kAimGroup && control == kAimHash) {
    return inputs_.aimUp;
  }
  if (native == contract::kControlActive && group == contract::kSprintGroup &&
      control == kSprintHash) {
    return inputs_.sprint;
  }
  if (native == contract::kControlActive && group == contract::kCameraGroup &&
      control == kCameraHash) {
    return inputs_.nextCamera;
  }
  return 0;
}

// Every subject call hands out a new handle; only the newest one is good, and only once.
inline uint32_t SimulatedGame::freshHandle(uint64_t subjectNative) {
  lastHandle_ = 0x00010000u + (++handleCounter_ & 0xFFFFu) * 0x101u +
                (subjectNative == contract::kWeaponQuerySubject ? 0x01000000u : 0u);
  lastHandleFrom_ = subjectNative;
  return lastHandle_;
}

inline uint32_t SimulatedGame::currentWeapon(const uint64_t* args, uint8_t& faults,
                                             uint64_t* outSlot) {
  auto* slot = reinterpret_cast<uint64_t*>(static_cast<uintptr_t>(args[1]));
  if (slot == nullptr) {
    faults |= kNullWeaponSlot;
    return 0;
  }
  // A failed query leaves junk in the slot, at times the very identifier of no weapon.
  const uint64_t junkHigh = junk() & 0xFFFFFFFF00000000ull;
  const uint32_t weapon = inputs_.weaponQueryFails
                              ? (junk() % 2 != 0 ? simNameHash(contract::kUnarmedWeapon)
                                                 : static_cast<uint32_t>(junk()))
                              : simNameHash(inputs_.weapon);
  *slot = junkHigh | weapon;
  if (outSlot != nullptr) *outSlot = *slot;
  return truth(!inputs_.weaponQueryFails);
}

inline uint32_t SimulatedGame::answer(const NativeInfo& native, const uint64_t* args,
                                      std::string_view name, uint8_t& faults, uint64_t* outSlot) {
  uint32_t low = 0;
  switch (native.hash) {
    case contract::kNameHash:
      low = simNameHash(name);
      break;
    case contract::kControlWentDown:
    case contract::kControlCameUp:
    case contract::kControlActive:
      low = truth(controlState(native.hash, args[0], args[1]) != 0);
      break;
    case contract::kNamedStateActive:
      low = truth(name == contract::kWheelState && inputs_.wheel);
      break;
    case contract::kHostTimer: {
      const std::vector<uint32_t>& reads = inputs_.timerReads;
      low = reads.empty() ? 0 : reads[std::min(timerRead_++, reads.size() - 1)];
      break;
    }
    case contract::kPerFrameHold:
      low = unusedResult();
      break;
    case contract::kForcedAimSubject:
    case contract::kWeaponQuerySubject:
      // A subject handle is good only for the call right after the one that handed it out.
      return freshHandle(native.hash);
    case contract::kForcedAim:
      if (!goodHandle(args[0], contract::kForcedAimSubject)) faults |= kStaleHandle;
      low = unusedResult();
      break;
    case contract::kCurrentWeapon:
      if (!goodHandle(args[0], contract::kWeaponQuerySubject)) faults |= kStaleHandle;
      low = currentWeapon(args, faults, outSlot);
      break;
  }
  lastHandle_ = 0;
  return low;
}

}  // namespace sim
