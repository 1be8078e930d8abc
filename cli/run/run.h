// Runs a scenario: loads the plugin into the simulated host, ticks, unloads, and hands each
// part of the trace to a sink as it happens, so that long runs need no memory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/run/scenario.h"
#include "common/result.h"
#include "sim/tick_inputs.h"
#include "sim/trace.h"

namespace cli {

// One tick, as the trace shows it.
struct TickReport {
  uint64_t tick = 0;
  std::vector<uint32_t> timerReads;  // what hostTimer would return, in order
  sim::TickControls controls;
  std::string weapon;          // what the player holds on this tick
  bool weaponChanged = false;  // the scenario changed it on this tick
  bool weaponQueryFails = false;
  bool latch = false;             // as the calls show it: held this tick and not cancelled
  std::optional<bool> forcedAim;  // the value sent, if forcedAim was called
  size_t hostCalls = 0;           // natives and scriptWait made by the script
};

class RunSink {
 public:
  virtual ~RunSink() = default;
  // Calls made while loading (tick 0) and while unloading (after the last tick).
  virtual void load(const std::vector<sim::TraceEntry>& entries) = 0;
  virtual void tick(const TickReport& report, const std::vector<sim::TraceEntry>& entries) = 0;
  virtual void unload(const std::vector<sim::TraceEntry>& entries) = 0;
};

// A run that took place, to its end or to where the plugin's script stopped.
struct RunSummary {
  uint64_t ticksRun = 0;
  std::vector<std::string> protocolErrors;
  // Why the plugin's script stopped part way (a break of the host protocol), at the scenario
  // line it was on; the ticks before it were run and reported.
  std::optional<common::Error> stopped;
};

// Hands everything to two sinks, first to first: the table and a picture of the same run.
class SinkPair : public RunSink {
 public:
  SinkPair(RunSink& first, RunSink& second) : first_(first), second_(second) {}
  void load(const std::vector<sim::TraceEntry>& entries) override {
    first_.load(entries);
    second_.load(entries);
  }
  void tick(const TickReport& report, const std::vector<sim::TraceEntry>& entries) override {
    first_.tick(report, entries);
    second_.tick(report, entries);
  }
  void unload(const std::vector<sim::TraceEntry>& entries) override {
    first_.unload(entries);
    second_.unload(entries);
  }

 private:
  RunSink& first_;
  RunSink& second_;
};

// An error when no run could take place: the plugin would not load or registered no script.
// The sink has then been given nothing.
common::Result<RunSummary> runScenario(const Scenario& scenario, const std::string& pluginPath,
                                       RunSink& sink);

}  // namespace cli
