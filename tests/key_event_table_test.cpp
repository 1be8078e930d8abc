// The keyboard callback's table of the latest event per key code, read from the loaded library.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin/keyboard.h"
#include "tests/plugin_harness.h"

using testing_support::PluginHarness;

namespace {

class KeyEventTableTest : public ::testing::Test {
 protected:
  const KeyEventTable& table() {
    const void* symbol = harness_.plugin().symbol("keyEventTable");
    EXPECT_NE(symbol, nullptr);
    return *static_cast<const KeyEventTable*>(symbol);
  }
  void send(uint32_t key, int32_t a5, int32_t a6, int32_t a7) {
    harness_.host().sendKeyboardEvent(key, 0xBEEF, 0x7F, -9, a5, a6, a7);
  }

  PluginHarness harness_;
};

// GetTickCount wraps; "within" is measured on the wrapped difference.
bool stampWithin(uint32_t stamp, uint32_t before, uint32_t after) {
  return stamp - before <= after - before;
}

}  // namespace

TEST_F(KeyEventTableTest, EveryEntryReadsZeroBeforeAnyEvent) {
  static_assert(sizeof(KeyEventRecord) == 16);
  static_assert(sizeof(KeyEventTable) == 255 * 16);
  const KeyEventTable zero{};
  EXPECT_EQ(std::memcmp(&table(), &zero, sizeof zero), 0);
}

TEST_F(KeyEventTableTest, KeysBelow255RecordTheirTimeAndTheLastThreeArguments) {
  for (const uint32_t key : {0u, 65u, 254u}) {
    const uint32_t before = GetTickCount();
    send(key, static_cast<int32_t>(key) + 1, INT32_MIN, INT32_MAX);
    const uint32_t after = GetTickCount();
    const KeyEventRecord& record = table().records[key];
    EXPECT_TRUE(stampWithin(record.tickTime, before, after)) << key;
    EXPECT_EQ(record.trailingArgs[0], static_cast<int32_t>(key) + 1);
    EXPECT_EQ(record.trailingArgs[1], INT32_MIN);
    EXPECT_EQ(record.trailingArgs[2], INT32_MAX);
  }
}

TEST_F(KeyEventTableTest, KeyCodes255AndAboveChangeNothing) {
  send(3, 1, 2, 3);
  KeyEventTable snapshot;
  std::memcpy(&snapshot, &table(), sizeof snapshot);
  for (const uint32_t key : {255u, 256u, 0x10000u, 0xFFFFFFFFu}) send(key, 7, 8, 9);
  EXPECT_EQ(std::memcmp(&snapshot, &table(), sizeof snapshot), 0);
}

TEST_F(KeyEventTableTest, TheLatestEventOfAKeyReplacesTheEarlierOneAndLeavesOthersAlone) {
  send(10, 1, 1, 1);
  send(11, 5, 5, 5);
  send(10, -2, -3, -4);
  EXPECT_EQ(table().records[10].trailingArgs[0], -2);
  EXPECT_EQ(table().records[10].trailingArgs[1], -3);
  EXPECT_EQ(table().records[10].trailingArgs[2], -4);
  EXPECT_EQ(table().records[11].trailingArgs[0], 5);
}

TEST_F(KeyEventTableTest, TheCallbackMakesNoHostCall) {
  harness_.host().trace().clear();
  send(20, 1, 2, 3);
  ASSERT_EQ(harness_.host().trace().entries().size(), 1u);
  EXPECT_EQ(harness_.host().trace().entries()[0].kind, sim::TraceKind::keyboardEvent);
  EXPECT_TRUE(harness_.host().protocolErrors().empty());
}
