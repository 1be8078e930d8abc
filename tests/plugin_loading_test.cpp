// Loading and unloading the real plugin library: what it registers, in which order, with what.
#include <gtest/gtest.h>

#include "tests/plugin_harness.h"

using testing_support::PluginHarness;

namespace {

using DllMainFunction = BOOL (*)(HINSTANCE, DWORD, LPVOID);

std::vector<sim::TraceKind> kinds(const std::vector<sim::TraceEntry>& entries) {
  std::vector<sim::TraceKind> result;
  for (const sim::TraceEntry& entry : entries) result.push_back(entry.kind);
  return result;
}

}  // namespace

TEST(PluginLoading, RegistersScriptThenKeyboardAtLoadAndWithdrawsBothInTheSameOrderAtUnload) {
  PluginHarness harness;
  sim::SimulatedHost& host = harness.host();
  using K = sim::TraceKind;
  EXPECT_EQ(kinds(host.trace().entries),
            (std::vector<K>{K::scriptRegister, K::keyboardHandlerRegister}));
  // "module" means the very handle the loader gave the library; the host checks it on load.
  EXPECT_EQ(host.trace().entries[0].text, "module, script#1");
  EXPECT_EQ(host.scriptCount(), 1u);
  ASSERT_EQ(host.keyboardHandlers().size(), 1u);
  EXPECT_TRUE(harness.plugin().contains(reinterpret_cast<void*>(host.keyboardHandlers()[0])));

  host.trace().entries.clear();
  harness.unload();
  EXPECT_EQ(kinds(host.trace().entries),
            (std::vector<K>{K::scriptUnregister, K::keyboardHandlerUnregister}));
  EXPECT_EQ(host.trace().entries[0].text, "module");
  // Unregistering anything but the registered callback would leave it registered here.
  EXPECT_EQ(host.scriptCount(), 0u);
  EXPECT_TRUE(host.keyboardHandlers().empty());
  EXPECT_TRUE(host.protocolErrors().empty());
}

TEST(PluginLoading, ThreadNotificationsMakeNoHostCallAndEveryReasonReturnsOne) {
  PluginHarness harness;
  auto dllMain = reinterpret_cast<DllMainFunction>(harness.plugin().symbol("DllMain"));
  ASSERT_NE(dllMain, nullptr);
  harness.host().trace().entries.clear();
  EXPECT_EQ(dllMain(harness.plugin().handle(), DLL_THREAD_ATTACH, nullptr), 1);
  EXPECT_EQ(dllMain(harness.plugin().handle(), DLL_THREAD_DETACH, nullptr), 1);
  EXPECT_EQ(dllMain(harness.plugin().handle(), 7, nullptr), 1);
  EXPECT_TRUE(harness.host().trace().entries.empty());

  // Attach and detach by hand, against a host of their own: four calls, and 1 both times.
  sim::SimulatedHost scratch;
  scratch.bind();
  scratch.beginLoaderCall(harness.plugin().handle());
  EXPECT_EQ(dllMain(harness.plugin().handle(), DLL_PROCESS_ATTACH, nullptr), 1);
  EXPECT_EQ(dllMain(harness.plugin().handle(), DLL_PROCESS_DETACH, nullptr), 1);
  scratch.endLoaderCall(harness.plugin().handle());
  EXPECT_EQ(scratch.trace().entries.size(), 4u);
  EXPECT_TRUE(scratch.protocolErrors().empty());
  harness.host().bind();
}

TEST(PluginLoading, TheScriptStartsAtTheFirstTickAndEndsEachTickWithOneScriptWaitOfZero) {
  PluginHarness harness;
  EXPECT_EQ(harness.host().trace().entries.size(), 2u) << "no call before the first tick";
  for (int i = 0; i < 50; ++i) {
    const std::vector<sim::TraceEntry>& calls = harness.tick();
    ASSERT_FALSE(calls.empty());
    size_t waits = 0;
    for (const sim::TraceEntry& entry : calls) waits += entry.kind == sim::TraceKind::scriptWait;
    EXPECT_EQ(waits, 1u);
    EXPECT_EQ(calls.back().kind, sim::TraceKind::scriptWait);
    EXPECT_EQ(calls.back().args[0], 0u);
  }
  EXPECT_TRUE(harness.host().protocolErrors().empty());
}

TEST(PluginLoading, RepeatedLoadsAndUnloadsKeepRegistrationsBalanced) {
  sim::SimulatedHost host;
  testing_support::loadAndUnload(host, 300, [&](int cycle) {
    for (int i = 0; i < cycle % 4; ++i) host.tick();
  });
}
