// The four paths through the plugin's tick, each as the host calls it makes with every optional
// call of the path made, and the answers that keep the plugin on that path tick after tick.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "host/contract.h"
#include "host/host_api.h"
#include "sim/natives.h"
#include "toggle/aim_toggle.h"

namespace bench {

enum class ArgKind : uint8_t { value, name, weaponSlot };

struct Arg {
  ArgKind kind = ArgKind::value;
  uint64_t value = 0;
  const char* name = nullptr;
};

struct NativeCall {
  uint64_t hash = 0;
  size_t argCount = 0;
  std::array<Arg, 5> args{};
  uint64_t result = 0;  // what the host answers
};

inline constexpr size_t kMaxCalls = 20;  // the plugin's most in one tick

struct TickPath {
  const char* name = nullptr;
  ToggleSettings settings{};
  bool latched = false;  // at the start of every tick, and again at its end
  size_t callCount = 0;
  std::array<NativeCall, kMaxCalls> calls{};
};

// A name of the host contract copied into an array of its own: an inline array has one address
// in every translation unit, a literal need not, and the floor pushes these addresses.
template <size_t N>
constexpr std::array<char, N + 1> nameArray(const char* name) {
  std::array<char, N + 1> copy{};
  for (size_t i = 0; i < N; ++i) copy[i] = name[i];
  return copy;
}
constexpr size_t nameLength(const char* name) {
  size_t length = 0;
  while (name[length] != '\0') ++length;
  return length;
}
template <const char* const& name>
inline constexpr auto kNameArray = nameArray<nameLength(name)>(name);
inline constexpr const char* kInputAim = kNameArray<contract::kAimControl>.data();
inline constexpr const char* kInputSprint = kNameArray<contract::kSprintControl>.data();
inline constexpr const char* kInputCamera = kNameArray<contract::kCameraControl>.data();
inline constexpr const char* kWheel = kNameArray<contract::kWheelState>.data();
inline constexpr const char* kUnarmed = kNameArray<contract::kUnarmedWeapon>.data();

// The path's calls with their answers. ShortPress 0 and LongPress 0 make both timer reads of a
// press happen without a toggle, so the latch stays as it started.
constexpr TickPath makePath(const char* name, bool holdMode, bool latched) {
  TickPath path{name, ToggleSettings{0, 0, holdMode}, latched, 0, {}};
  constexpr uint64_t kTimer = 1000;
  constexpr uint64_t kAimSubject = 0x00010101;
  constexpr uint64_t kWeaponSubject = 0x01010202;
  const auto add = [&path](sim::NativeId id, std::initializer_list<Arg> args, uint64_t result) {
    NativeCall& call = path.calls[path.callCount++];
    call.hash = sim::kNatives[static_cast<size_t>(id)].hash;
    for (const Arg& arg : args) call.args[call.argCount++] = arg;
    call.result = result;
  };
  const auto value = [](uint64_t v) { return Arg{ArgKind::value, v, nullptr}; };
  const auto text = [](const char* n) { return Arg{ArgKind::name, 0, n}; };
  const auto hashOf = [](const char* n) -> uint64_t { return sim::simNameHash(n); };
  using N = sim::NativeId;
  const auto control = [&](N id, uint64_t group, const char* controlName, uint64_t answer) {
    add(N::nameHash, {text(controlName)}, hashOf(controlName));
    add(id, {value(group), value(hashOf(controlName))}, answer);
  };

  // The aim control goes down and comes up, the wheel closed: three timer reads.
  control(N::controlWentDown, contract::kAimGroup, kInputAim, 1);
  add(N::namedStateActive, {text(kWheel)}, 0);
  add(N::hostTimer, {}, kTimer);
  control(N::controlCameUp, contract::kAimGroup, kInputAim, 1);
  add(N::namedStateActive, {text(kWheel)}, 0);
  add(N::hostTimer, {}, kTimer);
  add(N::hostTimer, {}, kTimer);
  if (!holdMode) {
    if (latched) {
      add(N::perFrameHold, {}, 0);
      control(N::controlActive, contract::kSprintGroup, kInputSprint, 0);
    }
    add(N::forcedAimSubject, {}, kAimSubject);
    add(N::forcedAim, {value(kAimSubject), value(latched ? 1 : 0), value(0), value(0), value(1)},
        0);
    add(N::weaponQuerySubject, {}, kWeaponSubject);
    add(N::currentWeapon,
        {value(kWeaponSubject), Arg{ArgKind::weaponSlot, 0, nullptr}, value(0), value(0), value(0)},
        1);
    add(N::nameHash, {text(kUnarmed)}, hashOf(kUnarmed));
  } else if (latched) {
    add(N::perFrameHold, {}, 0);
  }
  if (latched) {
    // The camera control is active but the wheel is open: checked, and no cancel.
    control(N::controlActive, contract::kCameraGroup, kInputCamera, 1);
    add(N::namedStateActive, {text(kWheel)}, 1);
  }
  return path;
}

inline constexpr TickPath kForcedLatched = makePath("forced-latched", false, true);
inline constexpr TickPath kForcedUnlatched = makePath("forced-unlatched", false, false);
inline constexpr TickPath kHoldLatched = makePath("hold-latched", true, true);
inline constexpr TickPath kHoldUnlatched = makePath("hold-unlatched", true, false);

using TickFunction = void (*)();

struct PathEntry {
  const TickPath* path;
  TickFunction floor;  // the path's host calls replayed, nothing else
};

// The four paths, the worst case first.
const std::array<PathEntry, 4>& tickPaths();

// Empty when the plugin's tick, run from the path's starting state, makes exactly the path's
// calls and ends in that state, and the floor makes exactly the same calls; else what differs.
std::string checkPath(const PathEntry& entry);

}  // namespace bench
