// Replacing a player's settings file, natively and under Wine with the system's own file calls: a
// file with a second name is refused and nothing changes; a leftover of a write that was cut off
// never blocks the next one, and the check names it; a system reader that reads the new file
// otherwise than written stops the replace.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/check/game_folder_check.h"
#include "cli/check/report_text.h"
#include "cli/check/settings_file_check.h"
#include "cli/check/settings_writer.h"
#include "common/console.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::readFile;
using testing_support::writeFile;

const std::vector<cli::SettingValue> kNew = {{&settings_file::kShortPress, 60},
                                             {&settings_file::kLongPress, 230}};
constexpr char kOld[] = "[Settings]\r\nShortPress=50\r\nLongPress=100\r\n";
constexpr char kWritten[] = "[Settings]\r\nShortPress=60\r\nLongPress=230\r\n";

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(common::utf8FromPath(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SettingsReplace, AFileWithASecondNameIsRefusedAndBothNamesKeepTheirBytes) {
  const common::TempFolder folder = testing_support::tempFolder();
  const fs::path file = writeFile(folder, "Kestova.ini", kOld);
  // On Windows CreateHardLinkW: the C runtime there would not tell this file from any other.
  fs::create_hard_link(file, folder.path() / "mine.ini");
  testing_support::FakeMachine machine;
  const common::Result<fs::path> result = cli::replaceSettingsFile(file, kWritten, kNew, machine);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().message,
            "has other names (hard links), which a new file would not keep, so it is left as it "
            "is");
  EXPECT_EQ(readFile(file), kOld);
  EXPECT_EQ(readFile(folder.path() / "mine.ini"), kOld);
  EXPECT_THAT(namesIn(folder.path()), ElementsAre("Kestova.ini", "mine.ini"));
}

TEST(SettingsReplace, ALeftoverOfACutOffWriteNeverBlocksTheNextAndTheCheckNamesIt) {
  const common::TempFolder folder = testing_support::tempFolder();
  const fs::path file = writeFile(folder, "Kestova.ini", kOld);
  writeFile(folder, "Kestova.ini.new", "cut off");
  writeFile(folder, "Kestova.ini.2.new", "cut off too");
  testing_support::FakeMachine machine;
  const common::Result<fs::path> backup = cli::replaceSettingsFile(file, kWritten, kNew, machine);
  ASSERT_TRUE(backup) << backup.error().message;
  EXPECT_EQ(readFile(file), kWritten);
  EXPECT_EQ(readFile(*backup), kOld);
  EXPECT_EQ(readFile(folder.path() / "Kestova.ini.new"), "cut off");
  EXPECT_THAT(namesIn(folder.path()), ElementsAre("Kestova.ini", "Kestova.ini.2.new",
                                                  "Kestova.ini.bak", "Kestova.ini.new"));

  const common::Result<cli::CheckReport> report =
      cli::checkSettingsFile(file, "Kestova.ini", machine);
  ASSERT_TRUE(report);
  std::string notes;
  for (const cli::Finding& finding : report->findings) notes += finding.text + "\n";
  EXPECT_THAT(notes, HasSubstr("Kestova.ini.2.new: left behind by a write of new settings that "
                               "was cut off; the plugin never reads it, and it may be deleted.\n"
                               "Kestova.ini.new: left behind"));
  EXPECT_THAT(notes, Not(HasSubstr("Kestova.ini.bak")));
  EXPECT_EQ(report->warnings(), 0u) << notes;
  EXPECT_TRUE(report->notWhereRead.empty()) << "a leftover does not keep the file from a write";
}

TEST(SettingsReplace, AReaderThatReadsTheNewFileOtherwiseStopsTheReplaceAndBothValuesAreSaid) {
  const common::TempFolder folder = testing_support::tempFolder();
  const fs::path file = writeFile(folder, "Kestova.ini", kOld);
  testing_support::FakeMachine machine;
  machine.reading = cli::SystemReading{cli::SystemKind::wine, "Wine 8.0", {60, 100, 0}};
  const common::Result<fs::path> result = cli::replaceSettingsFile(file, kWritten, kNew, machine);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().message,
            "would not read as written: Wine 8.0's own reader, the plugin's, reads ShortPress 60, "
            "LongPress 100, HoldADS 0 from the new file, not the ShortPress=60 and "
            "LongPress=230 written there, so it is left as it is");
  EXPECT_EQ(readFile(file), kOld);
  EXPECT_THAT(namesIn(folder.path()), ElementsAre("Kestova.ini"));
  ASSERT_EQ(machine.filesRead.size(), 1u);
  EXPECT_EQ(machine.filesRead[0].filename(), "Kestova.ini.new")
      << "the new file, before it replaces";

  machine.reading->settings.longPress = 230;
  ASSERT_TRUE(cli::replaceSettingsFile(file, kWritten, kNew, machine));
  EXPECT_EQ(readFile(file), kWritten);
}

}  // namespace
