// make bench: the plugin's tick against its floor on each of its four paths, and a mode that
// runs a path's ticks for callgrind to count.
//
// kestova_bench           checks that each path's floor replays what the plugin calls, then
//                         prints each tick/floor ratio, measured in pairs (paired.h)
// kestova_bench --count PATH TICKS   only the ticks of one path, for callgrind
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/null_host.h"
#include "bench/paired.h"
#include "bench/tick_paths.h"

// Not inlined and with a plain name, for callgrind's --toggle-collect: the instructions counted
// are those of exactly these ticks.
extern "C" __attribute__((noinline)) void kestova_bench_count_ticks(const ToggleSettings& settings,
                                                                    AimToggleState& state,
                                                                    long ticks) {
  for (long i = 0; i < ticks; ++i) {
    runToggleTick(settings, state);
    scriptWait(0);
  }
}

namespace bench {
namespace {

// The loop runToggleLoop runs, minus the settings file: a tick, then scriptWait(0); against the
// same host calls replayed with no logic, both through the same do-nothing host.
double tickToFloorRatio(const PathEntry& entry) {
  NullHost host(*entry.path);
  host.bind();
  const ToggleSettings settings = entry.path->settings;
  AimToggleState toggle{};
  toggle.latched = entry.path->latched;
  const TickFunction floor = entry.floor;
  return pairedRatio(
      [&] {
        runToggleTick(settings, toggle);
        scriptWait(0);
      },
      [floor] { floor(); }, 200, 400);
}

void countTicks(const std::string& pathName, long ticks) {
  for (const PathEntry& entry : tickPaths()) {
    if (pathName != entry.path->name) continue;
    NullHost host(*entry.path);
    host.bind();
    AimToggleState toggle{};
    toggle.latched = entry.path->latched;
    // Outside the count: the first calls through the PLT go to the dynamic linker.
    runToggleTick(entry.path->settings, toggle);
    scriptWait(0);
    kestova_bench_count_ticks(entry.path->settings, toggle, ticks);
    return;
  }
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--count") == 0) {
    bench::countTicks(argv[2], std::atol(argv[3]));
    return 0;
  }
  // Every comparison is void unless the floor replays what the plugin calls.
  for (const bench::PathEntry& entry : bench::tickPaths()) {
    const std::string problem = bench::checkPath(entry);
    if (!problem.empty()) {
      std::fprintf(stderr, "kestova_bench: %s\n", problem.c_str());
      return 1;
    }
  }
  for (const bench::PathEntry& entry : bench::tickPaths()) {
    std::printf("ratio tick/floor %s: %.3f\n", entry.path->name, bench::tickToFloorRatio(entry));
  }
  return 0;
}
