// kestova-sim check: that it reports what the plugin reads, explains why in one line per
// finding, and says by its exit status whether the file works as written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "cli/check/settings_explainer.h"
#include "profile/profile_reader.h"
#include "tests/support/process.h"

namespace {

using cli::Severity;
using common::TempFolder;
using ::testing::AnyOf;
using ::testing::Contains;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::StartsWith;
using testing_support::lines;
using testing_support::runProgram;
using testing_support::writeFile;

cli::CheckReport check(const std::string& text) {
  return cli::checkSettings(text);
}

// The one finding whose text starts with start, or a failure.
cli::Finding findingStarting(const cli::CheckReport& c, const std::string& start) {
  std::string all;
  for (const cli::Finding& f : c.findings) {
    if (f.text.rfind(start, 0) == 0) return f;
    all += f.text + "\n";
  }
  ADD_FAILURE() << "no finding starts with '" << start << "' in:\n" << all;
  return {};
}

// The one finding whose text has part, or a failure.
cli::Finding findingSaying(const cli::CheckReport& c, const std::string& part) {
  for (const cli::Finding& f : c.findings) {
    if (f.text.find(part) != std::string::npos) return f;
  }
  ADD_FAILURE() << "no finding says '" << part << "'";
  return {};
}

auto aFindingSaying(const std::string& part) {
  return Contains(Field(&cli::Finding::text, HasSubstr(part)));
}

TEST(CheckSettings, TheSettingsFileShippedToPlayersChecksClean) {
  const cli::CheckReport c =
      check(testing_support::readFile(std::string(KESTOVA_SOURCE_DIR) + "/package/Kestova.ini"));
  EXPECT_EQ(c.warnings(), 0u);
  EXPECT_EQ(c.settings.shortPress, 50);
  EXPECT_EQ(c.settings.longPress, 100);
  EXPECT_FALSE(c.settings.holdMode != 0);
}

TEST(CheckSettings, ValuesThatReadDifferentlyFromHowTheyLookAreExplained) {
  struct Case {
    std::string value;
    int32_t reads;
    Severity severity;
    std::string because;
  };
  const Case cases[] = {
      {"70", 70, Severity::note, "(ShortPress=70)."},
      {"70ms", 70, Severity::note, "the rest, \"ms\", is not read"},
      {"70 ; shortest tap", 70, Severity::note, "the rest, \"; shortest tap\", is not read"},
      {"0x46", 70, Severity::note, "0x makes it a hexadecimal number"},
      {"0o106", 70, Severity::note, "0o makes it an octal number"},
      {"\"70\"", 70, Severity::note, "quotes are removed"},
      {"0X10", 0, Severity::warning, "lower-case 0x"},
      {"4294967297", 1, Severity::warning, "too large for 32 bits"},
      {"3000000000", -1294967296, Severity::warning, "wraps around to negative"},
      {"1.5", 1, Severity::warning, "only whole numbers"},
      {"0o78", 7, Severity::warning, "no octal digit"},
      {"\"70", 0, Severity::warning, "no matching closing quote"},
      {"5X", 5, Severity::note, "the rest, \"X\", is not read"},
      {"seventy", 0, Severity::warning, "does not start with a number"},
      {std::string(27, '0') + "150", 15, Severity::warning, "first 29 characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const cli::CheckReport result = check("[Settings]\nShortPress=" + c.value + "\n");
    EXPECT_EQ(result.settings.shortPress, c.reads);
    const cli::Finding f = findingStarting(result, "ShortPress: reads " + std::to_string(c.reads));
    EXPECT_EQ(f.severity, c.severity) << f.text;
    EXPECT_THAT(f.text, HasSubstr(c.because));
  }
  // An X after any number but a lone 0 starts nothing: no word of hexadecimal.
  EXPECT_THAT(findingStarting(check("[Settings]\nShortPress=5X\n"), "ShortPress: reads 5").text,
              Not(HasSubstr("hexadecimal")));
  const cli::CheckReport hold = check("[Settings]\nHoldADS=true\n");
  EXPECT_THAT(findingStarting(hold, "HoldADS: reads 0").text, HasSubstr("write 1 for hold mode"));
}

TEST(CheckSettings, ADefaultSaysWhyAndWarnsOnlyWhenTheAuthorWroteSomething) {
  struct Case {
    std::optional<std::string> file;
    Severity severity;
    std::string because;
  };
  const Case cases[] = {
      {std::nullopt, Severity::note, "there is no settings file"},
      {"; nothing yet\n", Severity::note, "the file has no [Settings] section"},
      {"[Settings]\nLongPress=80\n", Severity::note, "[Settings] on line 1 has no ShortPress"},
      {"[Settings]\nShortPress\n", Severity::warning, "line 2 has ShortPress but no \"=\""},
      {"[Settings]\nShortPress=\n", Severity::warning, "the value on line 2 is empty)"},
      {"[Settings]\nShortPress=\"\"\n", Severity::warning, "empty once its quotes are removed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.because);
    const cli::CheckReport result = cli::checkSettings(c.file);
    const cli::Finding f = findingStarting(result, "ShortPress: the default, 50");
    EXPECT_EQ(f.severity, c.severity) << f.text;
    EXPECT_THAT(f.text, HasSubstr(c.because));
  }
  // Keys but no section: the file does nothing, which deserves a warning of its own.
  EXPECT_THAT(check("ShortPress=70\n").findings, aFindingSaying("has no [Settings] section"));
  EXPECT_EQ(check("; nothing yet\n").warnings(), 0u);
}

TEST(CheckSettings, LinesTheReaderNeverReadsAreNamedWithTheirEditorLineNumber) {
  struct Case {
    std::string file;
    std::string finding;
  };
  const Case cases[] = {
      {"[Settings]\nShortPres=70\n",
       "line 2: \"ShortPres\" is not a key the plugin reads; "
       "did you mean ShortPress?"},
      // Two letters off is still a near miss.
      {"[Settings]\nLangPrass=200\n",
       "line 2: \"LangPrass\" is not a key the plugin reads; did you mean LongPress?"},
      {"[Settings]\nLongPress=80\nLongPress=90\n",
       "line 3: LongPress again; only the first one, "
       "on line 2, is read."},
      {"[Other]\nlongpress=80\n[Settings]\n",
       "line 2: LongPress here is never read: it is in "
       "section [Other] (line 1), not in [Settings]."},
      {"ShortPress=70\n[Settings]\n",
       "line 1: ShortPress here is never read: it is before any "
       "section; move it below [Settings] on line 2."},
      {"[Settings]\n[Settings]\nHoldADS=1\n", "line 2: a second [Settings] section"},
      {"[Settings]\n[settings]\nHoldADS=1\n",
       "line 3: HoldADS here is never read: it is in a "
       "second [Settings] section (line 2)"},
      {"[Setings]\n", "line 1: section [Setings] is not [Settings]; did you mean [Settings]?"},
      {"[Settings\nShortPress=70\n", "line 1: \"[Settings\" has no closing \"]\""},
      // Every kind of line end counts as one line, as an editor shows them.
      {"[Settings]\r\n\r\nShortPres=1\r\n", "line 3: \"ShortPres\""},
      {"[Settings]\r\rShortPres=1\r", "line 3: \"ShortPres\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const cli::CheckReport result = check(c.file);
    EXPECT_EQ(findingStarting(result, c.finding).severity, Severity::warning);
  }
  // A "#" line is no comment, but it is as harmless as one: a note, not a warning.
  const cli::CheckReport hashed = check("[Settings]\n# ShortPress=30\nShortPress=70\n");
  EXPECT_EQ(hashed.warnings(), 0u);
  EXPECT_EQ(findingStarting(hashed, "line 2: \"#\"").severity, Severity::note);
  EXPECT_EQ(hashed.settings.shortPress, 70);
}

TEST(CheckSettings, TheTapWindowWarnsWhenNoTapCanToggleOrAnyPressCan) {
  struct Case {
    std::string settings;
    Severity severity;
    std::string says;
  };
  const Case cases[] = {
      {"ShortPress=50\nLongPress=100", Severity::note, "a press of 50 to 99 timer units"},
      {"ShortPress=50\nLongPress=40", Severity::problem,
       "ShortPress (50) is not below LongPress (40), so no press can ever toggle aim."},
      {"ShortPress=50\nLongPress=50", Severity::problem, "no press can ever toggle aim"},
      {"ShortPress=-20\nLongPress=0", Severity::problem, "LongPress (0) is not above 0"},
      {"ShortPress=0", Severity::warning, "even a press and release within one tick"},
      {"ShortPress=50\nLongPress=60", Severity::warning, "may be hard to hit"},
      {"ShortPress=50\nLongPress=67", Severity::note, "a press of 50 to 66 timer units"},
      // The edges of the range: a window of one unit at 0, and LongPress - 1 below INT32_MIN.
      {"ShortPress=0\nLongPress=1", Severity::warning, "every press shorter than 1 timer units"},
      {"ShortPress=1\nLongPress=1", Severity::problem, "no press can ever toggle aim"},
      {"ShortPress=-5\nLongPress=-1", Severity::problem, "LongPress (-1) is not above 0"},
      {"ShortPress=5\nLongPress=2147483648", Severity::problem,
       "ShortPress (5) is not below LongPress (-2147483648)"},
      {"ShortPress=-2147483648\nLongPress=2147483647", Severity::warning,
       "every press shorter than 2147483647 timer units"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    const cli::Finding f = findingSaying(check("[Settings]\n" + c.settings + "\n"), "tap window");
    EXPECT_EQ(f.severity, c.severity);
    EXPECT_THAT(f.text, HasSubstr(c.says));
  }
  EXPECT_THAT(findingStarting(check("[Settings]\nHoldADS=2\n"), "mode:").text,
              HasSubstr("mode: hold"));
}

TEST(CheckSettings, AgreesWithTheReaderOnWhichLineEachValueComesFrom) {
  const std::vector<std::string> fragments = {
      "[Settings]",
      "[ settings ]",
      "[Other]",
      "[Settings",
      "[Setting]",
      "ShortPress=5",
      "shortpress = 7",
      "ShortPress",
      "ShortPress=",
      "LongPress='9'",
      "HoldADS=1",
      "#HoldADS=2",
      ";LongPress=3",
      "LongPress=0x20",
      std::string("\0HoldADS=4", 10),
      "ShortPres=6",
      "",
      "=8",
  };
  const char* ends[] = {"\n", "\r\n", "\r"};
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    std::string file;
    for (size_t n = random() % 8; n > 0; --n) {
      file += fragments[random() % fragments.size()] + ends[random() % 3];
    }
    SCOPED_TRACE(file);
    const cli::CheckReport result = check(file);
    const profile::MemoryBytes bytes{file};
    const std::vector<std::string> fileLines = lines(file);
    for (const char* key : {"ShortPress", "LongPress", "HoldADS"}) {
      // A fallback no file here can spell tells a read value from a default.
      const bool read = profile::readInt(bytes, "Settings", key, 0xDEADBEEF) != 0xDEADBEEF;
      const cli::Finding f = findingStarting(result, std::string(key) + ":");
      ASSERT_THAT(f.text, HasSubstr(read ? ": reads " : ": the default"));
      ASSERT_THAT(f.text, Not(HasSubstr(read ? ": the default" : ": reads ")));
    }
    for (const cli::Finding& f : result.findings) {
      ASSERT_THAT(f.text, Not(AnyOf(HasSubstr("\n"), HasSubstr("\r"))));
    }
  }
}

TEST(CheckSettings, AnyBytesGiveShortPrintableOneLineFindings) {
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    std::string file(random() % 2000, '\0');
    for (char& c : file) c = static_cast<char>(random() % 7 == 0 ? '\n' : random());
    if (round % 3 == 0) file = "\xFF\xFE" + file;  // and as UTF-16
    const cli::CheckReport result = check(file);
    ASSERT_FALSE(result.findings.empty());
    ASSERT_LE(result.findings.size(), 60u);
    for (const cli::Finding& f : result.findings) {
      ASSERT_LT(f.text.size(), 400u) << f.text;
      for (const char c : f.text) ASSERT_TRUE(static_cast<unsigned char>(c) >= 0x20) << f.text;
    }
  }
}

// ---- the command ------------------------------------------------------------------------------

testing_support::ProgramRun checkIn(const TempFolder& folder, std::vector<std::string> args) {
  args.insert(args.begin(), {KESTOVA_SIM_PATH, "check"});
  return runProgram(folder, args);
}

TEST(CheckCommand, ExitStatusSaysWhetherTheFileWorksAsWritten) {
  const TempFolder folder = testing_support::tempFolder();
  writeFile(folder, "Kestova.ini", "[Settings]\nShortPress=40\nLongPress=120\nHoldADS=1\n");
  const testing_support::ProgramRun good = checkIn(folder, {});
  EXPECT_EQ(good.status, 0) << good.out;
  EXPECT_EQ(good.err, "");
  // The answer comes first, and again last.
  EXPECT_EQ(lines(good.out).front(), "./Kestova.ini: no problems found.");
  EXPECT_EQ(lines(good.out).back(), "./Kestova.ini: no problems found.");

  writeFile(folder, "short-not-below-long.ini", "[Settings]\nShortPress=50\nLongPress=40\n");
  const testing_support::ProgramRun warned = checkIn(folder, {"short-not-below-long.ini"});
  EXPECT_EQ(warned.status, 1);
  EXPECT_EQ(lines(warned.out).front(),
            "short-not-below-long.ini: 1 problem: the plugin may not do what this file seems to "
            "say.");
  // The finding with a fix leads, as a paragraph that starts with it.
  EXPECT_THAT(warned.out, HasSubstr("\n\nSet LongPress above ShortPress. The tap window is empty: "
                                    "ShortPress (50) is not below LongPress (40)"));
  // Checked under another name, it says the plugin would not find it there.
  EXPECT_THAT(warned.out, HasSubstr("the plugin reads only a file named Kestova.ini"));
}

TEST(CheckCommand, AMissingFileIsAWarningThatTheDefaultsApply) {
  const TempFolder folder = testing_support::tempFolder();
  const testing_support::ProgramRun run = checkIn(folder, {});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> out = lines(run.out);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.front(), "./Kestova.ini: 1 warning: there is no settings file.");
  EXPECT_THAT(run.out, HasSubstr("\nwarning: There is no Kestova.ini in "));
  EXPECT_THAT(run.out, HasSubstr("ShortPress: the default, 50 (there is no settings file)."));
}

TEST(CheckCommand, AFileThatCannotBeReadIsOneMessageAndStatus2) {
  const TempFolder folder = testing_support::tempFolder();
  std::filesystem::create_directory(folder.path() / "Kestova.ini");
  ASSERT_EQ(mkfifo((folder.path() / "pipe.ini").c_str(), 0600), 0);
  writeFile(folder, "locked.ini", "[Settings]\n");
  chmod((folder.path() / "locked.ini").c_str(), 0);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  std::vector<Case> cases = {
      {{}, "./Kestova.ini: is a folder, not a settings file (the plugin would use its defaults)"},
      {{"pipe.ini"}, "pipe.ini: is not a regular file"},
      {{"a.ini", "b.ini"}, "kestova-sim: The following argument was not expected: b.ini"},
      {{"--fix"}, "kestova-sim: The following argument was not expected: --fix"},
      {{""}, "kestova-sim: SETTINGS: needs a path"},
  };
  // Root reads files whatever their permissions.
  if (geteuid() != 0) cases.push_back({{"locked.ini"}, "locked.ini: cannot open it: "});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const testing_support::ProgramRun run = checkIn(folder, c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, StartsWith(c.message));
    EXPECT_THAT(lines(run.err), SizeIs(1));
  }
}

}  // namespace
