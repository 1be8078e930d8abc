// Runs a scenario: loads the plugin into the simulated host, ticks, unloads, and hands each
// part of the trace to a sink as it happens, so that long runs need no memory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/run/scenario.h"
#include "sim/trace.h"

namespace cli {

// What the game held on a tick, as the inputs column shows it.
struct HeldControls {
  bool aimDown = false;
  bool aimUp = false;
  bool sprint = false;
  bool nextCamera = false;
  bool wheel = false;
};

// One tick, as the trace shows it.
struct TickReport {
  uint64_t tick = 0;
  std::vector<uint32_t> timerReads;  // what hostTimer would return, in order
  std::string inputs;                // the scenario's words for the tick, or "-"
  bool latch = false;                // as the calls show it: held this tick and not cancelled
  std::optional<bool> forcedAim;     // the value sent, if forcedAim was called
  size_t hostCalls = 0;              // natives and scriptWait made by the script
  HeldControls controls;
};

class RunSink {
 public:
  virtual ~RunSink() = default;
  // Calls made while loading (tick 0) and while unloading (after the last tick).
  virtual void load(const std::vector<sim::TraceEntry>& entries) = 0;
  virtual void tick(const TickReport& report, const std::vector<sim::TraceEntry>& entries) = 0;
  virtual void unload(const std::vector<sim::TraceEntry>& entries) = 0;
};

struct RunOptions {
  std::string pluginPath;
  bool trace = true;  // record every call; off, the sink gets no entries
};

struct RunOutcome {
  bool ok = false;
  std::string error;  // why the run could not go on, when !ok
  int errorLine = 0;  // the scenario line it happened at, or 0
  std::vector<std::string> protocolErrors;
  uint64_t ticksRun = 0;
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

RunOutcome runScenario(const Scenario& scenario, const RunOptions& options, RunSink& sink);

}  // namespace cli
