// The keyboard callback's table of the latest event per key code, read from the loaded library.
#include <gtest/gtest.h>
#include <link.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

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

// Every byte the loaded plugin can write without faulting: its writable segments, each to the
// end of its last page, found through the segment that holds the given address.
class WritableData {
 public:
  explicit WritableData(const void* inModule) {
    Search search{reinterpret_cast<uintptr_t>(inModule), {}};
    dl_iterate_phdr(&collect, &search);
    regions_ = search.regions;
    for (const Region& region : regions_) snapshot_.push_back(copy(region));
  }

  bool covers(const void* begin, size_t size) const {
    const auto first = reinterpret_cast<uintptr_t>(begin);
    for (const Region& region : regions_) {
      if (first >= region.begin && first + size <= region.end) return true;
    }
    return false;
  }

  // The first byte that differs from the snapshot, or null.
  const void* firstChange() const {
    for (size_t r = 0; r < regions_.size(); ++r) {
      const std::vector<unsigned char> now = copy(regions_[r]);
      for (size_t i = 0; i < now.size(); ++i) {
        if (now[i] != snapshot_[r][i]) return reinterpret_cast<const void*>(regions_[r].begin + i);
      }
    }
    return nullptr;
  }

 private:
  struct Region {
    uintptr_t begin;
    uintptr_t end;
  };
  struct Search {
    uintptr_t address;
    std::vector<Region> regions;
  };

  static int collect(dl_phdr_info* info, size_t, void* data) {
    Search& search = *static_cast<Search*>(data);
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    std::vector<Region> writable;
    bool holdsAddress = false;
    for (size_t i = 0; i < info->dlpi_phnum; ++i) {
      const ElfW(Phdr)& segment = info->dlpi_phdr[i];
      if (segment.p_type != PT_LOAD) continue;
      const uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
      const uintptr_t end = begin + segment.p_memsz;
      holdsAddress = holdsAddress || (search.address >= begin && search.address < end);
      if ((segment.p_flags & PF_W) != 0)
        writable.push_back({begin, (end + page - 1) / page * page});
    }
    if (!holdsAddress) return 0;
    search.regions = writable;
    return 1;
  }

  // Byte by byte and uninstrumented: AddressSanitizer poisons the space between globals, which is
  // exactly what this reads.
  __attribute__((no_sanitize("address"))) static std::vector<unsigned char> copy(Region region) {
    std::vector<unsigned char> bytes(region.end - region.begin);
    const volatile unsigned char* from = reinterpret_cast<const unsigned char*>(region.begin);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = from[i];
    return bytes;
  }

  std::vector<Region> regions_;
  std::vector<std::vector<unsigned char>> snapshot_;
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

// Not the table, and not what lies past it: key 255 would be the record just after the last.
TEST_F(KeyEventTableTest, KeyCodes255AndAboveChangeNothingThePluginCanWrite) {
  send(3, 1, 2, 3);
  const KeyEventTable& keys = table();
  const WritableData data(&keys);
  ASSERT_TRUE(data.covers(&keys, sizeof keys + sizeof(KeyEventRecord)))
      << "the record past the table lies outside the plugin's writable data";
  for (const uint32_t key : {255u, 256u, 0x10000u, 0xFFFFFFFFu}) send(key, 7, 8, 9);
  const void* changed = data.firstChange();
  EXPECT_EQ(changed, nullptr) << "a write at table + "
                              << static_cast<const char*>(changed) -
                                     reinterpret_cast<const char*>(&keys);
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
  harness_.host().trace().entries.clear();
  send(20, 1, 2, 3);
  ASSERT_EQ(harness_.host().trace().entries.size(), 1u);
  EXPECT_EQ(harness_.host().trace().entries[0].kind, sim::TraceKind::keyboardEvent);
  EXPECT_TRUE(harness_.host().protocolErrors().empty());
}
