#include <gtest/gtest.h>

#include "sim/plugin_module.h"
#include "sim/simulated_host.h"

TEST(PluginLoading, Smoke) {
  sim::SimulatedHost host;
  std::string error;
  auto plugin = sim::PluginModule::load(host, KESTOVA_PLUGIN_PATH, error);
  ASSERT_TRUE(plugin) << error;
  for (int i = 0; i < 3; ++i) host.tick();
  plugin.reset();
  for (const auto& e : host.trace().entries())
    std::printf("%s\n", sim::formatTraceEntry(e).c_str());
  EXPECT_TRUE(host.protocolErrors().empty());
}
