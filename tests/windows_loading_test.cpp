// The real Kestova.dll under the Windows loader: what it exports, what thread notifications
// do, and many loads in one process.
#include <gtest/gtest.h>

#include <thread>

#include "tests/plugin_harness.h"

using testing_support::PluginHarness;

namespace {

// The names in the module's export directory, read from its PE headers in memory.
DWORD exportedNameCount(HINSTANCE module) {
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0 || directory.Size == 0) return 0;
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  return exports->NumberOfNames + exports->NumberOfFunctions;
}

}  // namespace

TEST(WindowsLoading, TheDllExportsNothingNotEvenItsEntryPoint) {
  PluginHarness harness;
  EXPECT_EQ(exportedNameCount(harness.plugin().handle()), 0u);
  EXPECT_EQ(harness.plugin().symbol("DllMain"), nullptr);
  EXPECT_EQ(harness.plugin().symbol("keyEventTable"), nullptr);
}

TEST(WindowsLoading, ThreadAttachAndDetachMakeNoHostCall) {
  PluginHarness harness;
  harness.host().trace().entries.clear();
  // The loader calls DllMain with the thread reasons for every thread started and ended.
  for (int i = 0; i < 20; ++i) std::thread([] {}).join();
  EXPECT_TRUE(harness.host().trace().entries.empty());
  EXPECT_TRUE(harness.host().protocolErrors().empty());
  EXPECT_EQ(harness.host().scriptCount(), 1u);
}

TEST(WindowsLoading, AThousandLoadsAndUnloadsInOneProcessKeepRegistrationsBalanced) {
  sim::SimulatedHost host;
  testing_support::loadAndUnload(host, 1000, [&](int cycle) {
    ASSERT_EQ(host.keyboardHandlers().size(), 1u);
    for (int i = 0; i < cycle % 3; ++i) host.tick();
    host.sendKeyboardEvent(static_cast<uint32_t>(cycle), 0, 0, 0, 1, 2, 3);
  });
}
