// Randomized worlds run through the plugin and through the reference model side by side, each
// in a simulated host of its own, compared call for call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/plugin_harness.h"

namespace testing_support {

struct ComparisonCoverage {
  uint64_t ticks = 0;
  uint64_t runsForced = 0;
  uint64_t runsHold = 0;
  uint64_t runsJunk = 0;
  uint64_t latchedTicks = 0;
  uint64_t latchesTurnedOn = 0;
  uint64_t cameraCancels = 0;
  uint64_t suppressedTicks = 0;  // forced mode sent off while latched
  uint64_t failedWeaponQueries = 0;
  uint64_t wrapReleases = 0;  // releases whose timer reads cross 0x80000000 or 0
};

struct ComparisonResult {
  bool same = true;
  std::string mismatch;  // the first difference, with seed, run and tick, when !same
  ComparisonCoverage coverage;
};

// The plugin and the reference model, each in a simulated host of its own, fed the same inputs.
class SideBySide {
 public:
  SideBySide(const std::optional<std::string>& ini, sim::HostOptions options);
  // One tick on both; false, with both ticks' calls in mismatch, when they differ.
  bool tick(const sim::TickInputs& inputs, std::string& mismatch);
  const std::vector<sim::TraceEntry>& pluginCalls() const { return plugin_.lastTick(); }
  bool protocolKept() const;

 private:
  PluginHarness plugin_;
  sim::SimulatedHost model_;
  std::vector<sim::TraceEntry> modelCalls_;
};

// Runs `runs` worlds of `ticksPerRun` ticks each, every run with its own random settings, host
// junk mode and input rates, all drawn from `seed`.
ComparisonResult compareWithReference(uint64_t seed, int runs, int ticksPerRun);

}  // namespace testing_support
