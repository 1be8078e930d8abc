#include "tests/plugin_harness.h"

#include <stdexcept>

namespace testing_support {

std::string settingsIni(int64_t shortPress, int64_t longPress, int64_t holdAds) {
  return "[Settings]\nShortPress=" + std::to_string(shortPress) +
         "\nLongPress=" + std::to_string(longPress) + "\nHoldADS=" + std::to_string(holdAds) + "\n";
}

namespace {

sim::LoadedPlugin orThrow(common::Result<sim::LoadedPlugin> loaded) {
  if (!loaded) throw std::runtime_error(loaded.error().message);
  return std::move(loaded).value();
}

}  // namespace

PluginHarness::PluginHarness(const std::optional<std::string>& ini, sim::HostOptions options)
    : host_(options), loaded_(orThrow(sim::loadInFolder(host_, KESTOVA_PLUGIN_PATH, ini))) {}

const std::vector<sim::TraceEntry>& PluginHarness::tick(const sim::TickInputs& inputs) {
  host_.inputs() = inputs;
  host_.trace().entries.clear();
  host_.tick();
  lastTick_ = host_.trace().entries;
  return lastTick_;
}

sim::TickSummary PluginHarness::step(const sim::TickInputs& inputs) {
  return sim::summarizeTick(tick(inputs));
}

void loadAndUnload(sim::SimulatedHost& host, int cycles,
                   const std::function<void(int cycle)>& whileLoaded) {
  host.trace().enabled = false;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    const auto plugin = sim::PluginModule::load(host, KESTOVA_PLUGIN_PATH);
    ASSERT_TRUE(plugin) << plugin.error().message;
    ASSERT_EQ(host.scriptCount(), 1u);
    whileLoaded(cycle);
  }
  EXPECT_EQ(host.scriptCount(), 0u);
  EXPECT_TRUE(host.keyboardHandlers().empty());
  EXPECT_TRUE(host.protocolErrors().empty());
}

std::vector<std::string> callLabels(const std::vector<sim::TraceEntry>& entries) {
  std::vector<std::string> labels;
  for (const sim::TraceEntry& entry : entries) {
    if (entry.kind == sim::TraceKind::scriptWait) labels.emplace_back("scriptWait");
    if (entry.kind == sim::TraceKind::native && entry.native != nullptr) {
      labels.emplace_back(entry.native->label);
    }
  }
  return labels;
}

}  // namespace testing_support
