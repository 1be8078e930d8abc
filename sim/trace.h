// The trace: every host call the plugin made, in order, with its arguments and result.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/natives.h"

namespace sim {

enum class TraceKind : uint8_t {
  scriptRegister,
  scriptUnregister,
  scriptWait,
  keyboardHandlerRegister,
  keyboardHandlerUnregister,
  native,
  keyboardEvent,  // the host delivering an event to the registered callbacks
  protocolError,
};

inline constexpr size_t kMaxTracedArgs = 8;

struct TraceEntry {
  TraceKind kind = TraceKind::native;
  const NativeInfo* native = nullptr;  // null for a hash the game does not know
  uint64_t hash = 0;
  uint8_t argCount = 0;  // as pushed; only the first kMaxTracedArgs are kept
  std::array<uint64_t, kMaxTracedArgs> args{};
  // The name read through a string argument, the symbolic name of a registration's pointer,
  // or a protocol error's message.
  std::string text{};
  uint64_t result = 0;   // the whole result slot; the plugin may use only its low half
  uint64_t outSlot = 0;  // currentWeapon: what the native wrote through its out-parameter
};

// The host's record of calls. Turned off, the host records nothing, so that a long or timed run
// allocates nothing for it.
struct Trace {
  bool enabled = true;
  std::vector<TraceEntry> entries;
};

// One line per entry, the same on every platform: nothing in it depends on addresses.
std::string formatTraceEntry(const TraceEntry& entry);

// The host call an entry records: a native's label ("unknownNative" for a hash the game does
// not know) or the host library function's own name; empty for what is no call of the plugin's.
std::string_view callName(const TraceEntry& entry);

// What a native's argument stands for, in every report: the name read through it, the weapon
// query's out-slot (an address, which differs from run to run and platform to platform), or
// the value itself.
enum class ArgRole : uint8_t { value, name, slot };
ArgRole argRole(const TraceEntry& entry, size_t index);

}  // namespace sim
