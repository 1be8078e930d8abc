// kestova-sim check --taps, --holds and --write as a mod developer runs them: the count, the
// suggestion in the file's own syntax, and a write that changes only the values, keeps the old
// file, reads back as written, and never touches what it must not.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/check/write_flow.h"
#include "tests/support/bytes.h"
#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::ProgramRun;

ProgramRun check(const common::TempFolder& folder, std::vector<std::string> args) {
  args.insert(args.begin(), {KESTOVA_SIM_PATH, "check"});
  return testing_support::runProgram(folder, args);
}

// The value a suggested line such as "LongPress=180" gives, or -1.
int suggested(const std::string& out, const std::string& key) {
  const std::string start = "\n" + key + "=";
  for (size_t at = out.find(start); at != std::string::npos; at = out.find(start, at + 1)) {
    const size_t digits = at + start.size();
    const size_t end = out.find_first_not_of("0123456789", digits);
    if (end != digits && end != std::string::npos && out[end] == '\n') {
      return std::stoi(out.substr(digits, end - digits));
    }
  }
  ADD_FAILURE() << "no suggested " << key << " in:\n" << out;
  return -1;
}

TEST(TapCheck, SaysHowManyTapsCountAndSuggestsLinesThatCountThemAll) {
  const common::TempFolder folder = testing_support::tempFolder();
  testing_support::writeFile(folder, "Kestova.ini", "[Settings]\nShortPress=50\nLongPress=100\n");
  const ProgramRun taps = check(folder, {"Kestova.ini", "--taps", "80,95,120,140"});
  EXPECT_EQ(taps.status, 0) << taps.err;
  EXPECT_THAT(taps.out, HasSubstr("taps: 2 of your 4 taps count with ShortPress 50 and "
                                  "LongPress 100, by their lengths as measured"));
  EXPECT_THAT(taps.out, HasSubstr("taps: by whole frames, at 60 fps"));
  EXPECT_LE(suggested(taps.out, "ShortPress"), 80) << taps.out;
  EXPECT_GT(suggested(taps.out, "LongPress"), 140) << taps.out;

  // The path may come after the lists; a "tap" of seconds is left out, and said.
  const ProgramRun holds =
      check(folder, {"--taps", "80,95,120,2000", "--holds", "300,400", "Kestova.ini"});
  EXPECT_EQ(holds.status, 0) << holds.err;
  EXPECT_THAT(holds.out, HasSubstr("2000 ms was a hold, not a tap"));
  EXPECT_GT(suggested(holds.out, "LongPress"), 120) << holds.out;
  EXPECT_LE(suggested(holds.out, "LongPress"), 300) << holds.out;
  // Nothing measured asks a ShortPress of 50 to go up.
  const ProgramRun slow = check(folder, {"Kestova.ini", "--taps", "110,120,140", "--holds", "400"});
  EXPECT_EQ(suggested(slow.out, "ShortPress"), 50) << slow.out;
  // A check of the folder, too, writes nothing unless asked.
  EXPECT_EQ(check(folder, {folder.path().string(), "--taps", "150,160"}).status, 1);
  EXPECT_EQ(testing_support::readFile(folder.path() / "Kestova.ini"),
            "[Settings]\nShortPress=50\nLongPress=100\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 3)
      << "Kestova.ini and the program's two output files, nothing more";

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--holds", "300"},
                                              {"--write"},
                                              {"--taps", "80,x"},
                                              {"--taps", "70000"},
                                              {"--taps", "80,-5"}}) {
    EXPECT_EQ(check(folder, bad).status, 2) << ::testing::PrintToString(bad);
  }
}

TEST(TapCheck, WriteChangesOnlyTheValuesKeepsTheOldFileAndReadsBackAsWritten) {
  const std::string text =
      "; Kestova settings\r\n[Settings]\r\n; the shortest tap\r\nShortPress=50\r\n"
      "LongPress=100 ; the longest\r\nHoldADS=0\r\n";
  const std::string written =
      "; Kestova settings\r\n[Settings]\r\n; the shortest tap\r\nShortPress=50\r\n"
      "LongPress=170 ; the longest\r\nHoldADS=0\r\n";
  const std::u16string wide(text.begin(), text.end());
  const std::u16string wideWritten(written.begin(), written.end());
  const struct {
    std::string before;
    std::string after;
  } files[] = {
      {text, written},
      {testing_support::utf16(wide, testing_support::Endian::little, true),
       testing_support::utf16(wideWritten, testing_support::Endian::little, true)},
  };
  for (const auto& file : files) {
    const common::TempFolder folder = testing_support::tempFolder();
    testing_support::writeFile(folder, "Kestova.ini", file.before);
    const ProgramRun run = check(folder, {"--taps", "80,95,120,140", "--write"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(testing_support::printable(testing_support::readFile(folder.path() / "Kestova.ini")),
              testing_support::printable(file.after));
    EXPECT_EQ(testing_support::readFile(folder.path() / "Kestova.ini.bak"), file.before);
    EXPECT_THAT(run.out, HasSubstr("the old file is kept as Kestova.ini.bak."));
    EXPECT_THAT(run.out, HasSubstr("read back (this checker's model): the plugin will now read "
                                   "ShortPress 50, LongPress 170, HoldADS 0."));
    const ProgramRun again = check(folder, {});
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_THAT(again.out, Not(HasSubstr(".bak")));
  }
}

TEST(TapCheck, WriteNeverTouchesAReadOnlyFileOrAFolderAndSaysWhy) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file =
      testing_support::writeFile(folder, "locked/Kestova.ini", "[Settings]\nShortPress=50\n");
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  const ProgramRun locked = check(folder, {file, "--taps", "150,160", "--write"});
  EXPECT_EQ(locked.status, 2);
  EXPECT_THAT(locked.out,
              HasSubstr(file + ": it is read-only, so it is left as it is. Nothing "
                               "was written; the lines to set yourself, in "
                               "[Settings] of the file the plugin reads:\nShortPress="));
  EXPECT_EQ(testing_support::readFile(file), "[Settings]\nShortPress=50\n");

  // Written beside a look-alike, a new Kestova.ini would hide the file the player meant.
  testing_support::writeFile(folder, "alike/Kestova.ini.txt", "[Settings]\nHoldADS=1\n");
  const ProgramRun alike = check(
      folder, {(folder.path() / "alike/Kestova.ini").string(), "--taps", "150,160", "--write"});
  EXPECT_EQ(alike.status, 2);
  EXPECT_THAT(alike.out, HasSubstr("it is not what the plugin reads here: a look-alike of it is "
                                   "beside it (see above). Nothing was written"));
  EXPECT_FALSE(fs::exists(folder.path() / "alike/Kestova.ini"));

  fs::create_directories(folder.path() / "game/Kestova.ini");
  const ProgramRun intoFolder =
      check(folder, {(folder.path() / "game").string(), "--taps", "150,160", "--write"});
  EXPECT_EQ(intoFolder.status, 2);
  EXPECT_THAT(intoFolder.out, HasSubstr("Nothing was written"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "game"), {}), 1);
  EXPECT_TRUE(fs::is_directory(folder.path() / "game/Kestova.ini"));
}

// Deciding what to write, alone: no console, no program, only the file read.
TEST(TapCheck, ThePlanIsTheNewFileOrWhyNotWithNoQuestionAsked) {
  const common::TempFolder folder = testing_support::tempFolder();
  const cli::TapAdvice advice = cli::adviseTaps({{150, 160}, {}}, settings_file::kDefaults);
  cli::CheckReport report;
  report.settingsPath =
      testing_support::writeFile(folder, "Kestova.ini", "\xEF\xBB\xBF[Settings]\n");
  // A mark Windows misreads goes only where the player is asked.
  EXPECT_THAT(cli::planWrite(report, advice, false).refusal, HasSubstr("byte-order mark"));
  const cli::WritePlan asked = cli::planWrite(report, advice, true);
  EXPECT_TRUE(asked.dropsMark);
  EXPECT_EQ(asked.bytes, "[Settings]\nShortPress=50\nLongPress=170\n");
  // Asked of a file by another name, it would change nothing the plugin reads.
  report.settingsPath = testing_support::writeFile(folder, "mine.ini", "[Settings]\n");
  EXPECT_THAT(cli::planWrite(report, advice, true).refusal,
              HasSubstr("the plugin reads only Kestova.ini"));
  // Taps that count as they are: nothing to write.
  const cli::TapAdvice counting = cli::adviseTaps({{100, 120}, {}}, {40, 200, 0});
  EXPECT_TRUE(cli::planWrite(report, counting, true).values.empty());
}

}  // namespace
