#include "bench/tick_paths.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "bench/null_host.h"
#include "host/contract.h"
#include "host/host_api.h"
#include "sim/natives.h"

namespace bench {
namespace {

// The path's calls with their answers. ShortPress 0 and LongPress 0 make both timer reads of a
// press happen without a toggle, so the latch stays as it started.
constexpr TickPath makePath(const char* name, bool holdMode, bool latched) {
  TickPath path{name, ToggleSettings{0, 0, holdMode}, latched, 0, {}};
  constexpr uint64_t kTimer = 1000;
  constexpr uint64_t kAimSubject = 0x00010101;
  constexpr uint64_t kWeaponSubject = 0x01010202;
  const auto add = [&path](uint64_t hash, std::initializer_list<Arg> args, uint64_t result) {
    NativeCall& call = path.calls[path.callCount++];
    call.hash = hash;
    for (const Arg& arg : args) call.args[call.argCount++] = arg;
    call.result = result;
  };
  const auto value = [](uint64_t v) { return Arg{sim::ArgRole::value, v, nullptr}; };
  const auto text = [](const char* n) { return Arg{sim::ArgRole::name, 0, n}; };
  const auto hashOf = [](const char* n) -> uint64_t { return sim::simNameHash(n); };
  using namespace contract;
  const auto control = [&](uint64_t hash, uint64_t group, const char* controlName,
                           uint64_t answer) {
    add(kNameHash, {text(controlName)}, hashOf(controlName));
    add(hash, {value(group), value(hashOf(controlName))}, answer);
  };

  // The aim control goes down and comes up, the wheel closed: three timer reads.
  control(kControlWentDown, kAimGroup, kAimControl, 1);
  add(kNamedStateActive, {text(kWheelState)}, 0);
  add(kHostTimer, {}, kTimer);
  control(kControlCameUp, kAimGroup, kAimControl, 1);
  add(kNamedStateActive, {text(kWheelState)}, 0);
  add(kHostTimer, {}, kTimer);
  add(kHostTimer, {}, kTimer);
  if (!holdMode) {
    if (latched) {
      add(kPerFrameHold, {}, 0);
      control(kControlActive, kSprintGroup, kSprintControl, 0);
    }
    add(kForcedAimSubject, {}, kAimSubject);
    add(kForcedAim, {value(kAimSubject), value(latched ? 1 : 0), value(0), value(0), value(1)}, 0);
    add(kWeaponQuerySubject, {}, kWeaponSubject);
    add(kCurrentWeapon,
        {value(kWeaponSubject), Arg{sim::ArgRole::slot, 0, nullptr}, value(0), value(0), value(0)},
        1);
    add(kNameHash, {text(kUnarmedWeapon)}, hashOf(kUnarmedWeapon));
  } else if (latched) {
    add(kPerFrameHold, {}, 0);
  }
  if (latched) {
    // The camera control is active but the wheel is open: checked, and no cancel.
    control(kControlActive, kCameraGroup, kCameraControl, 1);
    add(kNamedStateActive, {text(kWheelState)}, 1);
  }
  return path;
}

constexpr TickPath kForcedLatched = makePath("forced-latched", false, true);
constexpr TickPath kForcedUnlatched = makePath("forced-unlatched", false, false);
constexpr TickPath kHoldLatched = makePath("hold-latched", true, true);
constexpr TickPath kHoldUnlatched = makePath("hold-unlatched", true, false);

uint64_t floorWeaponSlot = 0;

template <const Arg& arg>
uint64_t argValue() {
  if constexpr (arg.kind == sim::ArgRole::name) {
    return reinterpret_cast<uintptr_t>(arg.name);
  } else if constexpr (arg.kind == sim::ArgRole::slot) {
    return reinterpret_cast<uintptr_t>(&floorWeaponSlot);
  } else {
    return arg.value;
  }
}

// One native call of the path, every value a constant: the calls unrolled at compile time, with
// no branch, no loop and no use of a result.
template <const NativeCall& call, size_t... J>
void replayCall(std::index_sequence<J...>) {
  nativeInit(call.hash);
  (nativePush64(argValue<call.args[J]>()), ...);
  nativeCall();
}

template <const TickPath& path, size_t... I>
void replayCalls(std::index_sequence<I...>) {
  (replayCall<path.calls[I]>(std::make_index_sequence<path.calls[I].argCount>{}), ...);
}

// The floor of a path: its host calls and the closing scriptWait(0), nothing else.
template <const TickPath& path>
void replayTick() {
  replayCalls<path>(std::make_index_sequence<path.callCount>{});
  scriptWait(0);
}

}  // namespace

const std::array<PathEntry, 4>& tickPaths() {
  static const std::array<PathEntry, 4> paths{{
      {&kForcedLatched, &replayTick<kForcedLatched>},
      {&kForcedUnlatched, &replayTick<kForcedUnlatched>},
      {&kHoldLatched, &replayTick<kHoldLatched>},
      {&kHoldUnlatched, &replayTick<kHoldUnlatched>},
  }};
  return paths;
}

std::string checkPath(const PathEntry& entry) {
  const TickPath& path = *entry.path;
  constexpr int kTicks = 2;  // the second tick shows that the first left the state as it found it
  const auto calls = [&](const auto& tick) {
    RecordingHost host(path);
    host.bind();
    for (int i = 0; i < kTicks; ++i) tick();
    return host.calls();
  };
  AimToggleState state{};
  state.latched = path.latched;
  const std::vector<std::string> plugin = calls([&] {
    runToggleTick(path.settings, state);
    scriptWait(0);
  });
  const std::vector<std::string> floor = calls(entry.floor);
  const std::string name = path.name;
  const auto [p, f] = std::mismatch(plugin.begin(), plugin.end(), floor.begin(), floor.end());
  if (p != plugin.end() || f != floor.end()) {
    return name + ": host call #" + std::to_string(p - plugin.begin()) + " is " +
           (p != plugin.end() ? *p : "none") + " in the plugin, " +
           (f != floor.end() ? *f : "none") + " in the floor";
  }
  return state.latched == path.latched ? "" : name + ": the plugin left the path";
}

}  // namespace bench
