// The checker asks the machine it runs on: the system's own reader answers for the plugin, the
// model explains, and where the two differ the player is told both. Each side of an encoding
// Windows and Wine read differently is said as measured here or known from elsewhere.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "cli/check/game_folder_check.h"
#include "cli/check/report_text.h"
#include "cli/check/settings_explainer.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

using cli::Severity;
using ::testing::HasSubstr;
using ::testing::Not;

const char kFile[] = "[Settings]\nShortPress=70\nLongPress=100\n";

cli::SystemReading reading(cli::SystemKind kind, const char* name, ToggleSettings settings) {
  return {kind, name, settings};
}

std::string allOf(const cli::CheckReport& check) {
  std::string all;
  for (const cli::Finding& f : check.findings) {
    all += (f.severity == Severity::warning ? "warning: " : "") + f.text + "\n";
  }
  return all;
}

TEST(CheckReader, AReaderThatDisagreesIsWhatThePluginReadsAndTheDifferenceIsSaid) {
  const cli::CheckReport check = cli::checkSettings(
      kFile, reading(cli::SystemKind::windows, "Windows 11 (build 26100)", {50, 100, 0}));
  const std::string all = allOf(check);
  EXPECT_THAT(all, HasSubstr("warning: ShortPress: Windows 11 (build 26100) reads 50 here, and "
                             "the plugin will too, but this checker's model of the reader says "
                             "70: the two differ"))
      << all;
  // The model still explains the line; the window and the values in force are the system's.
  EXPECT_THAT(all, HasSubstr("ShortPress: reads 70 from line 2"));
  EXPECT_THAT(all, HasSubstr("tap window: a press of 50 to 99"));
  EXPECT_THAT(all, Not(HasSubstr("LongPress: Windows")));
  EXPECT_EQ(check.settings.shortPress, 50);
  EXPECT_EQ(check.warnings(), 1u);
}

TEST(CheckReader, TheSystemThatAnsweredIsNamedAndWithoutOneTheModelSaysItAnswered) {
  const cli::CheckReport agreed =
      cli::checkSettings(kFile, reading(cli::SystemKind::wine, "Wine 8.0", {70, 100, 0}));
  EXPECT_THAT(allOf(agreed), HasSubstr("reader: Wine 8.0 answered: its own profile reader, the "
                                       "one the plugin calls, reads ShortPress 70, LongPress "
                                       "100, HoldADS 0 on this machine."));
  EXPECT_EQ(agreed.warnings(), 0u);
  EXPECT_THAT(allOf(cli::checkSettings(kFile)),
              HasSubstr("reader: this checker's model of Windows' profile reader answered"));
}

TEST(CheckReader, TheCheckOfAFileAsksTheMachineByThatFilesPath) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file = testing_support::writeFile(folder, "Kestova.ini", kFile);
  testing_support::FakeMachine machine;
  machine.reading = reading(cli::SystemKind::windows, "Windows 10 (build 19045)", {70, 90, 1});
  const common::Result<cli::CheckReport> report = cli::checkPath(file, machine);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->settings, (ToggleSettings{70, 90, 1}));
  EXPECT_EQ(report->warnings(), 2u) << "LongPress and HoldADS differ from the model";
  // No file, no question for the reader: its defaults need no measuring.
  const common::Result<cli::CheckReport> none =
      cli::checkPath((folder.path() / "none.ini").string(), machine);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->settings, settings_file::kDefaults);
}

TEST(CheckReader, EachSideOfAByteOrderMarkIsSaidAsMeasuredHereOrKnownFromElsewhere) {
  const std::string bom = std::string("\xEF\xBB\xBF") + kFile;
  // Under Wine: Wine's side measured, Windows' from the report.
  const std::string underWine =
      allOf(cli::checkSettings(bom, reading(cli::SystemKind::wine, "Wine 8.0", {70, 100, 0})));
  EXPECT_THAT(underWine, HasSubstr("(Windows: from a public report of tests on Windows 10 21H1, "
                                   "not measured here; Wine: measured here.)"));
  EXPECT_THAT(underWine, HasSubstr("the plugin reads ShortPress 50, LongPress 100, HoldADS 0 "
                                   "(its defaults). Wine and Proton skip the mark"));
  // On a Windows that reads as reported: its side measured, no difference with the model.
  const cli::CheckReport asReported = cli::checkSettings(
      bom, reading(cli::SystemKind::windows, "Windows 11 (build 22631)", settings_file::kDefaults));
  EXPECT_THAT(allOf(asReported), HasSubstr("(Windows: measured here; Wine: from this checker's "
                                           "model of Wine's reader.)"));
  EXPECT_EQ(asReported.warnings(), 1u) << allOf(asReported);
  // On a Windows that has learnt the mark, the measurement wins and the difference is said.
  const cli::CheckReport learnt = cli::checkSettings(
      bom, reading(cli::SystemKind::windows, "Windows 12 (build 30000)", {70, 100, 0}));
  EXPECT_THAT(allOf(learnt), HasSubstr("ShortPress: Windows 12 (build 30000) reads 70 here"));
  EXPECT_EQ(learnt.settings.shortPress, 70);

  const std::string be =
      testing_support::utf16(u"[Settings]\nShortPress=40\n", testing_support::Endian::big, true);
  EXPECT_THAT(allOf(cli::checkSettings(be)),
              HasSubstr("uses ShortPress 50, LongPress 100, HoldADS 0 (its defaults); Wine and "
                        "Proton read ShortPress 40"));
}

TEST(CheckReader, AUtf16FileCutInHalfIsAWarningAndAnEvenOneIsNot) {
  const std::string le = testing_support::utf16(u"[Settings]\r\nShortPress=40\r\n",
                                                testing_support::Endian::little, true);
  EXPECT_EQ(cli::checkSettings(le).warnings(), 0u) << allOf(cli::checkSettings(le));
  for (const testing_support::Endian endian :
       {testing_support::Endian::little, testing_support::Endian::big}) {
    const std::string odd =
        testing_support::utf16(u"[Settings]\r\nShortPress=40", endian, true) + "4";
    const cli::CheckReport check = cli::checkSettings(odd);
    EXPECT_THAT(allOf(check),
                HasSubstr("warning: The file is saved as UTF-16, but with an odd number "
                          "of bytes (" +
                          std::to_string(odd.size()) + "): its last character is cut in half"));
  }
}

}  // namespace
