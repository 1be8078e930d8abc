// The plugin's tick on each path against its floor, both through the same do-nothing host.
#include <string>

#include "bench/bench.h"
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

// The loop runToggleLoop runs, minus the settings file: a tick, then scriptWait(0).
void pluginTick(benchmark::State& state, const PathEntry* entry) {
  const NullHost host(*entry->path);
  host.bind();
  const ToggleSettings settings = entry->path->settings;
  AimToggleState toggle{};
  toggle.latched = entry->path->latched;
  for (auto _ : state) {
    runToggleTick(settings, toggle);
    scriptWait(0);
  }
  if (toggle.latched != entry->path->latched) state.SkipWithError("the plugin left its path");
}

void floorTick(benchmark::State& state, const PathEntry* entry) {
  const NullHost host(*entry->path);
  host.bind();
  const TickFunction floor = entry->floor;
  for (auto _ : state) floor();
}

}  // namespace

void registerPluginBenchmarks() {
  for (const PathEntry& entry : tickPaths()) {
    const std::string name = entry.path->name;
    configure(benchmark::RegisterBenchmark(("tick/" + name).c_str(), pluginTick, &entry));
    configure(benchmark::RegisterBenchmark(("floor/" + name).c_str(), floorTick, &entry));
  }
}

double tickToFloorRatio(const PathEntry& entry) {
  const NullHost host(*entry.path);
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
    const NullHost host(*entry.path);
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

}  // namespace bench
