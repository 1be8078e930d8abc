// Test support: the real plugin library, loaded by the platform loader into a simulated host,
// running in a private working folder that holds its settings file.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/plugin_module.h"
#include "sim/simulated_host.h"
#include "sim/tick_summary.h"

namespace testing_support {

// A fresh temporary folder made the current directory for the object's life.
class WorkingFolder {
 public:
  WorkingFolder();
  ~WorkingFolder();
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

  const std::string& path() const { return path_; }
  void write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
  std::string previous_;
};

// Kestova.ini text holding the three settings.
std::string settingsIni(int64_t shortPress, int64_t longPress, int64_t holdAds);

class PluginHarness {
 public:
  // Writes the settings file (if any) and loads the plugin; the script starts at the first tick.
  explicit PluginHarness(std::optional<std::string> ini = std::nullopt,
                         sim::HostOptions options = {});
  ~PluginHarness();

  sim::SimulatedHost& host() { return host_; }
  const sim::SimulatedHost& host() const { return host_; }
  const std::vector<sim::TraceEntry>& lastTick() const { return lastTick_; }
  WorkingFolder& folder() { return folder_; }
  sim::PluginModule& plugin() { return *plugin_; }
  void unload() { plugin_.reset(); }

  // One tick with these inputs (the held weapon is part of them); returns the tick's calls.
  const std::vector<sim::TraceEntry>& tick(const sim::TickInputs& inputs = {});
  // The same, summarized: latch, forced-aim value, number of calls.
  sim::TickSummary step(const sim::TickInputs& inputs = {});

 private:
  WorkingFolder folder_;
  sim::SimulatedHost host_;
  std::unique_ptr<sim::PluginModule> plugin_;
  std::vector<sim::TraceEntry> lastTick_;
};

// The labels of the natives among the entries, in order, with "scriptWait" for the yield.
std::vector<std::string> callLabels(const std::vector<sim::TraceEntry>& entries);

}  // namespace testing_support
