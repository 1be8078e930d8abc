// Settings files a player should never write, and one day will: the script still starts, reads
// what the profile reader reads, and runs; nothing stops or crashes it.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "tests/reference_comparison.h"

using testing_support::SideBySide;

namespace {

// Ticks with presses and releases at telling lengths, so that the settings read show.
void runTaps(SideBySide& pair, const std::string& what) {
  sim::TickInputs inputs;
  for (uint32_t t = 0; t < 400; ++t) {
    inputs.timerReads = {t * 7};
    inputs.aimDown = t % 20 == 0;
    inputs.aimUp = t % 20 == 3 + t / 20 % 17;
    inputs.nextCamera = t % 97 == 0;
    std::string mismatch;
    ASSERT_TRUE(pair.tick(inputs, mismatch)) << what << ", tick " << t << "\n" << mismatch;
  }
  EXPECT_TRUE(pair.protocolKept()) << what;
}

}  // namespace

TEST(HostileSettings, AnyBytesInTheFileLeaveTheScriptRunningOnWhatTheReaderReads) {
  std::mt19937 random(20261208);
  std::vector<std::pair<std::string, std::string>> files = {
      {"a 1 MiB line before the settings",
       std::string(1 << 20, 'x') + "\n[Settings]\nShortPress=10\nLongPress=30\n"},
      {"a 1 MiB value", "[Settings]\nShortPress=" + std::string(1 << 20, '7') + "\n"},
      {"no newline at the end", "[Settings]\nShortPress=5\nLongPress=25"},
      {"NUL bytes everywhere", std::string("[Settings]\0\nShortPress=1\0\n\0LongPress=40\n", 40)},
      {"only a bracket", "["},
      {"UTF-16 without a mark", std::string("[\0S\0e\0t\0\n\0", 10)},
  };
  for (int i = 0; i < 8; ++i) {
    std::string junk(static_cast<size_t>(random() % 4096), '\0');
    for (char& c : junk) c = static_cast<char>(random());
    files.emplace_back("random bytes #" + std::to_string(i), junk);
  }
  for (const auto& [what, bytes] : files) {
    SideBySide pair(bytes, sim::HostOptions{});
    runTaps(pair, what);
  }
}

TEST(HostileSettings, AFolderWhereTheFileShouldBeReadsAsNoFile) {
  // The folder is made before the script starts, in the plugin's working folder.
  SideBySide pair(std::nullopt, sim::HostOptions{});
  std::filesystem::create_directory("Kestova.ini");
  runTaps(pair, "a folder named Kestova.ini");
}
