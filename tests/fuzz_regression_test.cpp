// Every input the fuzzers keep, and every past finding, replayed through its target.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/fuzz_targets.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using Target = int (*)(const uint8_t*, size_t);

// Replays every file under fuzz/<folder>/<target>; returns how many there were.
size_t replay(const char* folder, const char* target, Target run) {
  const fs::path dir = fs::path(KESTOVA_SOURCE_DIR) / "fuzz" / folder / target;
  size_t count = 0;
  if (!fs::is_directory(dir)) return 0;
  for (const fs::directory_entry& file : fs::directory_iterator(dir)) {
    const std::string bytes = testing_support::readFile(file.path());
    SCOPED_TRACE(file.path().string());
    EXPECT_EQ(run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
    ++count;
  }
  return count;
}

}  // namespace

TEST(FuzzRegression, TheKeptCorpusAndEveryPastFindingPass) {
  const struct {
    const char* name;
    Target run;
  } targets[] = {{"profile_reader", &fuzzing::profileReader},
                 {"scenario", &fuzzing::scenarioParser},
                 {"plugin", &fuzzing::pluginAgainstReference},
                 {"settings_check", &fuzzing::settingsCheck}};
  for (const auto& target : targets) {
    EXPECT_GT(replay("corpus", target.name, target.run), 0u) << target.name << ": no seed corpus";
    replay("regressions", target.name, target.run);
  }
}
