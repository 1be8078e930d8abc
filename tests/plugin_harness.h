// Test support: the real plugin library, loaded by the platform loader into a simulated host,
// running in a private working folder that holds its settings file.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/plugin_module.h"
#include "sim/simulated_host.h"
#include "sim/tick_summary.h"
#include "tests/support/temp_folder.h"

namespace testing_support {

// Kestova.ini text holding the three settings.
std::string settingsIni(int64_t shortPress, int64_t longPress, int64_t holdAds);

class PluginHarness {
 public:
  // Writes the settings file (if any) and loads the plugin; the script starts at the first tick.
  explicit PluginHarness(const std::optional<std::string>& ini = std::nullopt,
                         sim::HostOptions options = {});

  sim::SimulatedHost& host() { return host_; }
  const sim::SimulatedHost& host() const { return host_; }
  const std::vector<sim::TraceEntry>& lastTick() const { return lastTick_; }
  common::TempFolder& folder() { return loaded_.folder; }
  sim::PluginModule& plugin() { return *loaded_.module; }
  void unload() { loaded_.module.reset(); }

  // One tick with these inputs (the held weapon is part of them); returns the tick's calls.
  const std::vector<sim::TraceEntry>& tick(const sim::TickInputs& inputs = {});
  // The same, summarized: latch, forced-aim value, number of calls.
  sim::TickSummary step(const sim::TickInputs& inputs = {});

 private:
  sim::SimulatedHost host_;
  sim::LoadedPlugin loaded_;
  std::vector<sim::TraceEntry> lastTick_;
};

// Loads the plugin into the host and unloads it again, `cycles` times, with the trace off and
// `whileLoaded(cycle)` called in between; afterwards nothing of it may be left registered, and
// no protocol error made.
void loadAndUnload(sim::SimulatedHost& host, int cycles,
                   const std::function<void(int cycle)>& whileLoaded);

// The labels of the natives among the entries, in order, with "scriptWait" for the yield.
std::vector<std::string> callLabels(const std::vector<sim::TraceEntry>& entries);

}  // namespace testing_support
