// What the trace and the JSON report make of calls the real plugin never makes: both must say
// alike what each argument is, a name, the weapon query's out-slot or a plain value.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/run/report.h"
#include "host/contract.h"

namespace {

using nlohmann::json;

sim::TraceEntry call(uint64_t hash, std::vector<uint64_t> args, std::string name = "") {
  sim::TraceEntry entry;
  entry.native = sim::findNative(hash);
  entry.hash = hash;
  entry.argCount = static_cast<uint8_t>(args.size());
  for (size_t i = 0; i < args.size() && i < sim::kMaxTracedArgs; ++i) entry.args[i] = args[i];
  entry.text = std::move(name);
  entry.result = 0x100000001;
  return entry;
}

// The calls of one tick as the JSON report writes them.
json jsonCalls(const std::vector<sim::TraceEntry>& entries) {
  std::FILE* out = std::tmpfile();
  cli::makeJsonReport(out, cli::Scenario{})->tick(cli::TickRecord{}, entries);
  std::string text(static_cast<size_t>(std::ftell(out)), '\0');
  std::rewind(out);
  EXPECT_EQ(std::fread(text.data(), 1, text.size(), out), text.size());
  std::fclose(out);
  return json::parse(text)["calls"];
}

TEST(Reports, TheTraceAndJsonSayAlikeWhatEachArgumentIs) {
  const std::vector<sim::TraceEntry> entries = {
      call(contract::kNameHash, {0x1000}, "INPUT_AIM"),
      call(contract::kCurrentWeapon, {0x10101, 0x7ffd0000, 0, 0, 0}),
      // Wrong counts: the host reads no name, and no argument is the out-slot.
      call(contract::kNameHash, {0x1000, 2}),
      call(contract::kCurrentWeapon, {0x10101, 0x7ffd0000}),
      call(0x1234, {1, 0x123456789}),
      call(contract::kForcedAim, {0x10101, 1, 0, 0, 1, 6, 7, 8, 9}),
  };
  std::vector<std::string> trace;
  for (const sim::TraceEntry& entry : entries) trace.push_back(sim::formatTraceEntry(entry));
  EXPECT_THAT(trace, testing::ElementsAre(
                         R"(nameHash("INPUT_AIM") -> 0x00000001 [high 0x00000001])",
                         "currentWeapon(0x00010101, &slot, 0, 0, 0) -> 1 [high 0x00000001], "
                         "slot 0x00000000",
                         R"(nameHash("", 0x0000000000000002) -> 0x00000001 [high 0x00000001])",
                         "currentWeapon(0x0000000000010101, 0x000000007ffd0000) -> 1 [high "
                         "0x00000001], slot 0x00000000",
                         "unknownNative 0x0000000000001234(0x0000000000000001, "
                         "0x0000000123456789) -> 0x00000001 [high 0x00000001]",
                         "forcedAim(0x0000000000010101, 0x0000000000000001, 0x0000000000000000, "
                         "0x0000000000000000, 0x0000000000000001, 0x0000000000000006, "
                         "0x0000000000000007, 0x0000000000000008, ...) -> 0x00000001 [high "
                         "0x00000001]"));

  const json calls = jsonCalls(entries);
  ASSERT_EQ(calls.size(), entries.size());
  EXPECT_EQ(calls[0]["args"], json({"INPUT_AIM"}));
  EXPECT_EQ(calls[1]["args"], json({"0x10101", "&slot", "0x0", "0x0", "0x0"}));
  EXPECT_EQ(calls[1]["slot"], "0x0");
  EXPECT_EQ(calls[2]["args"], json({"", "0x2"}));
  EXPECT_EQ(calls[3]["args"], json({"0x10101", "0x7ffd0000"}));
  EXPECT_EQ(calls[4], json::parse(R"({"native":"unknownNative","hash":"0x1234",)"
                                  R"("args":["0x1","0x123456789"],"result":"0x100000001"})"));
  // More arguments than are kept: their count, and the first eight.
  EXPECT_EQ(calls[5]["argCount"], 9);
  EXPECT_EQ(calls[5]["args"].size(), 8u);
}

}  // namespace
