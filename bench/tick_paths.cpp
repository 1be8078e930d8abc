#include "bench/tick_paths.h"

#include <string_view>

#include "bench/null_host.h"
#include "host/host_api.h"

namespace bench {
namespace {

uint64_t floorWeaponSlot = 0;

template <const Arg& arg>
uint64_t argValue() {
  if constexpr (arg.kind == ArgKind::name) {
    return reinterpret_cast<uintptr_t>(arg.name);
  } else if constexpr (arg.kind == ArgKind::weaponSlot) {
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

std::vector<HostCall> expectedCalls(const TickPath& path, int ticks) {
  std::vector<HostCall> calls;
  for (int tick = 0; tick < ticks; ++tick) {
    for (size_t i = 0; i < path.callCount; ++i) {
      const NativeCall& call = path.calls[i];
      calls.push_back({HostCall::Kind::init, call.hash});
      for (size_t j = 0; j < call.argCount; ++j) {
        const Arg& arg = call.args[j];
        calls.push_back({HostCall::Kind::push, arg.kind == ArgKind::name
                                                   ? reinterpret_cast<uintptr_t>(arg.name)
                                                   : arg.value});
      }
      calls.push_back({HostCall::Kind::call, 0});
    }
    calls.push_back({HostCall::Kind::wait, 0});
  }
  return calls;
}

// Names are compared by their text and the weapon slot by being an address: the plugin's
// literals and slot lie elsewhere than the floor's.
bool sameCall(const HostCall& expected, const HostCall& got, ArgKind kind) {
  if (expected.kind != got.kind) return false;
  if (kind == ArgKind::weaponSlot) return got.value != 0;
  if (kind == ArgKind::name) {
    const auto* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(got.value));
    return text != nullptr && std::string_view(text) == reinterpret_cast<const char*>(
                                                            static_cast<uintptr_t>(expected.value));
  }
  return expected.value == got.value;
}

std::string compare(const TickPath& path, const std::vector<HostCall>& got, int ticks,
                    const char* who) {
  const std::vector<HostCall> expected = expectedCalls(path, ticks);
  // The kind of each expected push, in order, for comparing its value.
  std::vector<ArgKind> kinds;
  for (int tick = 0; tick < ticks; ++tick) {
    for (size_t i = 0; i < path.callCount; ++i) {
      kinds.push_back(ArgKind::value);
      for (size_t j = 0; j < path.calls[i].argCount; ++j)
        kinds.push_back(path.calls[i].args[j].kind);
      kinds.push_back(ArgKind::value);
    }
    kinds.push_back(ArgKind::value);
  }
  for (size_t k = 0; k < expected.size(); ++k) {
    if (k >= got.size()) return std::string(who) + " made fewer host calls than the path";
    if (!sameCall(expected[k], got[k], kinds[k])) {
      return std::string(who) + ": host call #" + std::to_string(k) + " differs from the path";
    }
  }
  if (got.size() > expected.size()) return std::string(who) + " made more host calls than the path";
  return {};
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
  std::string problem;
  {
    const RecordingHost host(path);
    host.bind();
    AimToggleState state{};
    state.latched = path.latched;
    for (int tick = 0; tick < kTicks; ++tick) {
      runToggleTick(path.settings, state);
      scriptWait(0);
    }
    problem = compare(path, host.calls(), kTicks, "the plugin");
    if (problem.empty() && state.latched != path.latched) problem = "the plugin left the path";
  }
  if (problem.empty()) {
    const RecordingHost host(path);
    host.bind();
    for (int tick = 0; tick < kTicks; ++tick) entry.floor();
    problem = compare(path, host.calls(), kTicks, "the floor");
  }
  return problem.empty() ? problem : std::string(path.name) + ": " + problem;
}

}  // namespace bench
