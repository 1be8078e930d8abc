// Runs a scenario: loads the plugin into the simulated host, ticks, unloads, and hands each
// part of the trace to a report as it happens, so that long runs need no memory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/run/scenario.h"
#include "common/result.h"
#include "sim/simulated_game.h"
#include "sim/tick_summary.h"
#include "sim/trace.h"

namespace cli {

// A picture of more ticks than this would be unreadable; the run keeps only the first ones for
// it, and counts the rest.
inline constexpr size_t kMaxTimelineTicks = 2000;

// One tick as the run hands it on: what held in the game, and what the plugin's calls showed.
struct TickRecord {
  uint64_t tick = 0;
  sim::TickInputs inputs;
  bool weaponChanged = false;  // the scenario changed the weapon on this tick
  sim::TickSummary summary;

  // The tick's first timer value, by which a picture labels and times it.
  uint32_t timer() const { return inputs.timerReads.empty() ? 0 : inputs.timerReads.front(); }
};

// A run that took place, to its end or to where the plugin's script stopped.
struct RunSummary {
  uint64_t ticksRun = 0;
  std::vector<std::string> protocolErrors;
  // Why the plugin's script stopped part way (a break of the host protocol), at the scenario
  // line it was on; the ticks before it were run and reported.
  std::optional<common::Error> stopped;
  std::vector<TickRecord> firstTicks;  // at most kMaxTimelineTicks, for the picture
};

class RunSink {
 public:
  virtual ~RunSink() = default;
  // Calls made while loading (tick 0) and while unloading (after the last tick).
  virtual void load(const std::vector<sim::TraceEntry>& calls) = 0;
  virtual void tick(const TickRecord& record, const std::vector<sim::TraceEntry>& calls) = 0;
  virtual void unload(const std::vector<sim::TraceEntry>& calls) = 0;
  // Last, only when the run finished: not when the plugin's script stopped it part way.
  virtual void end(const RunSummary& summary) = 0;
};

// An error when no run could take place: the plugin would not load or registered no script.
// The report has then been given nothing; else it is given everything.
common::Result<RunSummary> runScenario(const Scenario& scenario, const std::string& pluginPath,
                                       RunSink& report);

}  // namespace cli
