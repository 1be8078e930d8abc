// The four paths through the plugin's tick, each as the host calls it makes with every optional
// call of the path made, and the answers that keep the plugin on that path tick after tick.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/trace.h"
#include "toggle/aim_toggle.h"

namespace bench {

// An argument as the trace sees it: a value, a name's address, or the weapon query's slot.
struct Arg {
  sim::ArgRole kind = sim::ArgRole::value;
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

using TickFunction = void (*)();

struct PathEntry {
  const TickPath* path;
  TickFunction floor;  // the path's host calls replayed, nothing else
};

// The four paths, the worst case first.
const std::array<PathEntry, 4>& tickPaths();

// Empty when the floor makes exactly the host calls of the plugin's tick run from the path's
// starting state, and the plugin's tick ends in that state; else what differs.
std::string checkPath(const PathEntry& entry);

}  // namespace bench
