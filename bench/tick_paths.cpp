#include "bench/tick_paths.h"

#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>

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

// Empty when `got` holds the path's calls `ticks` times over, each tick closed by scriptWait(0);
// else what differs. A name is compared by its text and the weapon slot by being an address:
// the plugin's literals and slot lie elsewhere than the floor's.
std::string compare(const TickPath& path, const std::vector<HostCall>& got, int ticks,
                    const std::string& who) {
  std::vector<std::pair<HostCall::Kind, Arg>> expected;
  for (int tick = 0; tick < ticks; ++tick) {
    for (const NativeCall& call : std::span(path.calls).first(path.callCount)) {
      expected.emplace_back(HostCall::Kind::init, Arg{sim::ArgRole::value, call.hash, nullptr});
      for (const Arg& arg : std::span(call.args).first(call.argCount)) {
        expected.emplace_back(HostCall::Kind::push, arg);
      }
      expected.emplace_back(HostCall::Kind::call, Arg{});
    }
    expected.emplace_back(HostCall::Kind::wait, Arg{});
  }
  for (size_t k = 0; k < got.size() && k < expected.size(); ++k) {
    const auto& [kind, arg] = expected[k];
    const auto* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(got[k].value));
    const bool same = arg.kind == sim::ArgRole::slot ? got[k].value != 0
                      : arg.kind == sim::ArgRole::name
                          ? text != nullptr && std::string_view(text) == arg.name
                          : got[k].value == arg.value;
    if (got[k].kind != kind || !same) {
      return who + ": host call #" + std::to_string(k) + " differs from the path";
    }
  }
  if (got.size() == expected.size()) return "";
  return who + " made " + (got.size() < expected.size() ? "fewer" : "more") +
         " host calls than the path";
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
  const auto calls = [&](const char* who, const auto& tick) {
    RecordingHost host(path);
    host.bind();
    for (int i = 0; i < kTicks; ++i) tick();
    return compare(path, host.calls(), kTicks, who);
  };
  AimToggleState state{};
  state.latched = path.latched;
  std::string problem = calls("the plugin", [&] {
    runToggleTick(path.settings, state);
    scriptWait(0);
  });
  if (problem.empty() && state.latched != path.latched) problem = "the plugin left the path";
  if (problem.empty()) problem = calls("the floor", entry.floor);
  return problem.empty() ? problem : std::string(path.name) + ": " + problem;
}

}  // namespace bench
