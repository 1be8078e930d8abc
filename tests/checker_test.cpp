// The player's checker and kestova-sim check beyond the settings themselves: the encodings Windows
// and Wine read differently, empty files, look-alike names, the folder searched, the game folder,
// and the UTF-8 <-> UTF-16 conversion every Windows name passes through.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/check/file_places.h"
#include "cli/check/game_folder_check.h"
#include "cli/check/report_text.h"
#include "cli/check/settings_explainer.h"
#include "cli/check/settings_text.h"
#include "common/display_text.h"
#include "common/text_encoding.h"
#include "kestova_version.h"
#include "tests/support/bytes.h"
#include "tests/support/process.h"

namespace {

using common::TempFolder;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::runProgram;
using testing_support::writeFile;

std::string findingsOf(const std::string& bytes) {
  return cli::reportText(cli::checkSettings(bytes));
}

TEST(CheckEncoding, WindowsAndWineAreBothToldWhereTheyReadAFileDifferently) {
  const std::string bom = "\xEF\xBB\xBF";
  // [Settings] on line 1 behind the mark: Windows reads its defaults, Wine the values.
  const std::string onLine1 = findingsOf(bom + "[Settings]\nShortPress=40\n");
  EXPECT_THAT(onLine1,
              HasSubstr("\nSave the file as UTF-8 without a byte-order mark, or as UTF-16 LE. The "
                        "file starts with a UTF-8 byte-order mark. Windows does not recognise it"))
      << onLine1;
  EXPECT_THAT(onLine1, HasSubstr("the plugin reads ShortPress 50, LongPress 100, HoldADS 0 (its "
                                 "defaults). Wine and Proton skip the mark and read ShortPress 40"))
      << onLine1;
  // Line 1 that does not matter: still a warning, saying both read the same.
  const std::string later = findingsOf(bom + "\n[Settings]\nShortPress=40\n");
  EXPECT_THAT(later, HasSubstr("Here that changes nothing (Windows, Wine and Proton all read "
                               "ShortPress 40"))
      << later;
  // UTF-16 BE: Windows does not honour the mark; LE is read everywhere.
  std::string be = "\xFE\xFF", le = "\xFF\xFE";
  for (const char c : std::string("[Settings]\nShortPress=40\n")) {
    be += std::string{'\0', c};
    le += std::string{c, '\0'};
  }
  EXPECT_THAT(findingsOf(be), HasSubstr("The file is saved as UTF-16 big-endian. Windows does not "
                                        "read that byte-order mark, so there the plugin finds no "
                                        "setting and uses ShortPress 50"));
  EXPECT_EQ(cli::checkSettings(le).warnings(), 0u) << findingsOf(le);
  EXPECT_THAT(findingsOf(le),
              HasSubstr("file: saved as UTF-16 LE, which Windows, Wine and Proton all"));
}

TEST(CheckEncoding, AnEmptyFileIsAWarningAndANotesOnlyFileIsNot) {
  for (const std::string empty : {"", "\n\r\n", "  \t\n", "\xEF\xBB\xBF"}) {
    EXPECT_THAT(findingsOf(empty), HasSubstr("The file is empty")) << findingsOf(empty);
  }
  EXPECT_THAT(findingsOf("; all defaults\n"), Not(HasSubstr("empty")));
  EXPECT_THAT(findingsOf("[Settings]\n"), Not(HasSubstr("empty")));
}

TEST(CheckLookAlikes, TheNamesAPlayerMeantAsKestovaIniAreFoundAndNoOthers) {
  const TempFolder folder = testing_support::tempFolder();
  for (const char* name : {"Kestova.ini.txt", "kestova.txt", "Kestova.ini.ini", "Kestova (1).ini",
                           "Kestova - Copy.ini", "KESTOVA", "Kestova.ini", "KestovaX.ini",
                           "Kestova (10).ini", "Kestova (1x).ini", "Kestova.ini.2.bak",
                           "Kestova.dll", "notes.txt", "Kestova.ini.bak", "Other.ini"}) {
    writeFile(folder, name, "x");
  }
  std::filesystem::create_directory(folder.path() / "Kestova(2).ini");
  std::vector<std::string> found;
  for (const cli::LookAlike& alike : cli::findFilePlaces(folder.path(), "Kestova.ini").lookAlikes) {
    found.push_back(alike.name);
  }
  EXPECT_EQ(found, (std::vector<std::string>{"KESTOVA", "Kestova (1).ini", "Kestova (10).ini",
                                             "Kestova - Copy.ini", "Kestova.ini.ini",
                                             "Kestova.ini.txt", "kestova.txt"}));
}

testing_support::ProgramRun run(const TempFolder& folder, std::vector<std::string> args) {
  return runProgram(folder, args);
}

TEST(CheckCommand, AMissingFileNamesTheWholeFolderSearchedAndTheTxtBesideIt) {
  const TempFolder folder = testing_support::tempFolder();
  writeFile(folder, "Kestova.ini.txt", "[Settings]\n");
  const testing_support::ProgramRun sim = run(folder, {KESTOVA_SIM_PATH, "check"});
  EXPECT_EQ(sim.status, 1);
  EXPECT_THAT(sim.out, HasSubstr("warning: There is no Kestova.ini in " + folder.path().string() +
                                 ", so the plugin uses its defaults"))
      << sim.out;
  EXPECT_THAT(sim.out,
              HasSubstr("\nRename Kestova.ini.txt to Kestova.ini. Kestova.ini.txt is saved as a "
                        "text file (Windows hides the ending .txt, so it shows as Kestova.ini), "
                        "never read by the plugin.\n"))
      << sim.out;
  writeFile(folder, "Kestova.ini", "");
  const testing_support::ProgramRun empty = run(folder, {KESTOVA_SIM_PATH, "check"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_THAT(empty.out, HasSubstr("The file is empty")) << empty.out;
  EXPECT_THAT(empty.out, HasSubstr("\nIf your changes are in Kestova.ini.txt, delete Kestova.ini "
                                   "and rename Kestova.ini.txt to Kestova.ini."))
      << empty.out;
}

TEST(Checker, AGameFolderIsCheckedForThePluginTheHostAndTheSettings) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string game = folder.path().string() + "/Jörg's ゲーム";
  writeFile(folder, "Jörg's ゲーム/Kestova.dll",
            "\x7F"
            "ELF not a Windows DLL");
  writeFile(folder, "Jörg's ゲーム/Kestova.ini", "[Settings]\nShortPress=40\n");
  // The same findings from both programs, the folder named whole.
  const testing_support::ProgramRun checker = run(folder, {KESTOVA_CHECK_PATH, game});
  const testing_support::ProgramRun sim = run(folder, {KESTOVA_SIM_PATH, "check", game});
  EXPECT_EQ(checker.status, 1);
  EXPECT_EQ(checker.out, sim.out);
  EXPECT_EQ(checker.err, "");
  EXPECT_THAT(checker.out, HasSubstr("folder: " + game + ", checked as")) << checker.out;
  EXPECT_THAT(checker.out, HasSubstr("\nCopy Kestova.dll here again from the Kestova zip. "
                                     "Kestova.dll is not a Windows program file"))
      << checker.out;
  EXPECT_THAT(checker.out, HasSubstr("ScriptHookVask.dll is not in this folder")) << checker.out;
  EXPECT_THAT(checker.out, HasSubstr("ShortPress: reads 40 from line 2")) << checker.out;
  // The answer right after the folder line, and again last.
  const std::string verdict =
      "2 problems stop Kestova from working here: do what each says, then start the game.";
  EXPECT_EQ(testing_support::lines(checker.out)[1], verdict) << checker.out;
  EXPECT_EQ(testing_support::lines(checker.out).back(), verdict) << checker.out;

  const testing_support::ProgramRun missing = run(folder, {KESTOVA_CHECK_PATH, game + "/none"});
  EXPECT_EQ(missing.status, 1) << "a missing settings file, as for check";
  const testing_support::ProgramRun two = run(folder, {KESTOVA_CHECK_PATH, "a", "b"});
  EXPECT_EQ(two.status, 2);
  const testing_support::ProgramRun version = run(folder, {KESTOVA_CHECK_PATH, "--version"});
  const testing_support::ProgramRun simVersion = run(folder, {KESTOVA_SIM_PATH, "--version"});
  EXPECT_EQ(version.out, "KestovaCheck " KESTOVA_VERSION "\n");
  EXPECT_EQ(simVersion.out, "kestova-sim " KESTOVA_VERSION "\n");
}

TEST(CheckSettingsText, EveryKindOfLineEndCountsOnceUpToTheLastLine) {
  const struct {
    std::u16string text;
    int lines;
  } cases[] = {{u"a\rx", 2}, {u"a\r\nx", 2}, {u"a\n\rx", 3}, {u"a\r\rx", 3}, {u"\r\n\r\nx", 3}};
  for (const auto& c : cases) {
    for (const bool wide : {false, true}) {
      const std::string bytes =
          wide ? testing_support::utf16(c.text, testing_support::Endian::little, true)
               : std::string(c.text.begin(), c.text.end());
      SCOPED_TRACE(testing_support::printable(bytes));
      int last = 0;
      cli::SettingsText(bytes).scanLines([&last](const profile::ProfileLine&, int number) {
        last = number;
        return true;
      });
      EXPECT_EQ(last, c.lines);
    }
  }
}

TEST(TextEncoding, Utf16AndUtf8RoundTripAndBadInputBecomesTheReplacementCharacter) {
  std::u16string all;
  for (char32_t point = 1; point < 0x110000; point += point < 0x3000 ? 1 : 97) {
    if (point >= 0xD800 && point <= 0xDFFF) continue;
    if (point < 0x10000) {
      all += static_cast<char16_t>(point);
    } else {
      all += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      all += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
  }
  EXPECT_EQ(common::utf16FromUtf8(common::utf8FromUtf16(all)), all);
  EXPECT_EQ(common::utf8FromUtf16(u"J\u00F6rg \u30B2\U0001F600"),
            "J\xC3\xB6rg \xE3\x82\xB2\xF0\x9F\x98\x80");
  EXPECT_EQ(common::utf8FromUtf16(std::u16string{u'a', 0xD800, u'b', 0xDC00}),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  EXPECT_EQ(common::utf16FromUtf8("a\xFF\xC3(\xE0\x80\x80z"), u"a\uFFFD\uFFFD(\uFFFD\uFFFD\uFFFDz");
  // Shown in a message: characters kept, those a terminal or XML takes for more escaped.
  EXPECT_EQ(common::displayText("J\xC3\xB6rg \xC2\x9B"
                                "2J \xE2\x80\xAE"
                                "gnp \xEF\xBF\xBF"),
            "J\xC3\xB6rg \\xC2\\x9B2J \\xE2\\x80\\xAEgnp \\xEF\\xBF\\xBF");
}

}  // namespace
