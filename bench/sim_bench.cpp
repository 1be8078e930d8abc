// The simulator's speed on the plugin's worst-case path, and the context switch under it.
#include <stdlib.h>
#include <unistd.h>

#include <boost/context/fiber.hpp>
#include <boost/context/fixedsize_stack.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "bench/paired.h"
#include "common/temp_folder.h"
#include "sim/plugin_module.h"
#include "sim/simulated_host.h"

namespace bench {
namespace {

namespace ctx = boost::context;

enum class TraceMode { off, on, formatted };

std::string pluginPath;

// The plugin reads .\Kestova.ini from the current folder: a private one for the whole run.
// ShortPress 0 and LongPress 1 make a press and release in the same tick a tap.
void usePlugin(const std::string& path) {
  pluginPath = path;
  static const bool ready = [] {
    static common::Result<common::TempFolder> folder = common::TempFolder::make("kestova-bench");
    return folder &&
           folder->write("Kestova.ini", "[Settings]\nShortPress=0\nLongPress=1\nHoldADS=0\n") &&
           folder->enter();
  }();
  if (!ready) std::fprintf(stderr, "cannot prepare a folder for the settings\n");
}

// Every tick: a tap latches, every latched call is made, and the camera control, the wheel
// closed, cancels the latch again, so that the next tick is the same. 20 native calls.
void worstCaseInputs(sim::TickInputs& inputs) {
  inputs.aimDown = true;
  inputs.aimUp = true;
  inputs.nextCamera = true;
  inputs.timerReads = {1000};
}

struct LoadedPlugin {
  sim::SimulatedHost host;
  std::unique_ptr<sim::PluginModule> plugin;
  std::string error;

  explicit LoadedPlugin(bool trace) {
    host.trace().setEnabled(trace);
    auto loaded = sim::PluginModule::load(host, pluginPath);
    if (loaded) {
      plugin = std::move(loaded).value();
    } else {
      error = loaded.error().message;
    }
    worstCaseInputs(host.inputs());
  }
};

void simTick(benchmark::State& state, TraceMode mode) {
  LoadedPlugin loaded(mode != TraceMode::off);
  if (!loaded.plugin) {
    state.SkipWithError(loaded.error.c_str());
    return;
  }
  sim::SimulatedHost& host = loaded.host;
  host.tick();  // starts the script, which reads its settings
  size_t formatted = 0;
  for (auto _ : state) {
    // As kestova-sim does: a tick's trace is dropped once shown.
    host.trace().clear();
    host.tick();
    if (mode == TraceMode::formatted) {
      for (const sim::TraceEntry& entry : host.trace().entries()) {
        formatted += sim::formatTraceEntry(entry).size();
      }
    }
  }
  benchmark::DoNotOptimize(formatted);
  if (!host.protocolErrors().empty()) state.SkipWithError(host.protocolErrors().front().c_str());
}

// A context that only switches back: a round trip to it is the bare cost of the library the
// simulator switches scripts with.
class Bouncer {
 public:
  Bouncer()
      : other_(std::allocator_arg, ctx::fixedsize_stack(64 * 1024), [](ctx::fiber&& from) {
          for (;;) from = std::move(from).resume();
          return std::move(from);
        }) {}
  void roundTrip() { other_ = std::move(other_).resume(); }

 private:
  ctx::fiber other_;
};

void contextSwitchRoundTrip(benchmark::State& state) {
  Bouncer bouncer;
  for (auto _ : state) bouncer.roundTrip();
}

}  // namespace

}  // namespace bench

// Not inlined and with a plain name, for callgrind's --toggle-collect.
extern "C" __attribute__((noinline)) void kestova_bench_count_sim_ticks(sim::SimulatedHost& host,
                                                                        long ticks) {
  for (long i = 0; i < ticks; ++i) host.tick();
}

namespace bench {

void countSimTicks(const std::string& path, long ticks) {
  usePlugin(path);
  LoadedPlugin loaded(false);
  if (!loaded.plugin) return;
  loaded.host.tick();  // outside the count: the script starts and reads its settings
  kestova_bench_count_sim_ticks(loaded.host, ticks);
}

void registerSimBenchmarks(const std::string& path) {
  usePlugin(path);
  configure(benchmark::RegisterBenchmark("sim/trace-off", simTick, TraceMode::off));
  configure(benchmark::RegisterBenchmark("sim/trace-on", simTick, TraceMode::on));
  configure(benchmark::RegisterBenchmark("sim/trace-formatted", simTick, TraceMode::formatted));
  configure(benchmark::RegisterBenchmark("context-switch/round-trip", contextSwitchRoundTrip));
}

double simTickToSwitchRatio(const std::string& path) {
  usePlugin(path);
  LoadedPlugin loaded(false);
  if (!loaded.plugin) return 0;
  loaded.host.tick();
  Bouncer bouncer;
  return pairedRatio([&] { loaded.host.tick(); }, [&] { bouncer.roundTrip(); }, 100, 200);
}

std::string checkSimPath(const std::string& path) {
  usePlugin(path);
  LoadedPlugin loaded(true);
  if (!loaded.plugin) return loaded.error;
  for (int tick = 1; tick <= 3; ++tick) {
    loaded.host.trace().clear();
    loaded.host.tick();
    size_t natives = 0;
    bool aimOn = false;
    for (const sim::TraceEntry& entry : loaded.host.trace().entries()) {
      if (entry.kind != sim::TraceKind::native || entry.native == nullptr) continue;
      ++natives;
      if (entry.native->id == sim::NativeId::forcedAim) aimOn = entry.args[1] != 0;
    }
    if (natives != 20 || !aimOn) {
      return "tick " + std::to_string(tick) + ": " + std::to_string(natives) +
             " native calls, forced aim " + (aimOn ? "on" : "off") + "; expected 20 and on";
    }
  }
  if (!loaded.host.protocolErrors().empty()) return loaded.host.protocolErrors().front();
  return {};
}

}  // namespace bench
