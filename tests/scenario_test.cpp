// What kestova-sim accepts as a scenario, and that every mistake in one is named at its line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/run/scenario.h"
#include "common/console.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

struct Parsed {
  bool ok = false;
  cli::Scenario scenario;
  common::Error error{""};
};

Parsed parse(const std::string& text, const std::string& baseFolder = "") {
  common::Result<cli::Scenario> parsed = cli::parseScenario(text, "test.scn", baseFolder);
  Parsed result;
  result.ok = parsed.ok();
  if (parsed) {
    result.scenario = std::move(parsed).value();
  } else {
    result.error = parsed.error();
  }
  return result;
}

using common::TempFolder;
using testing_support::writeFile;

TEST(Scenario, HeaderLinesSetUpTheRun) {
  const Parsed p = parse(
      "settings ShortPress=50 LongPress=0x64 HoldADS=-1\n"
      "clock -1 0xFFFFFFFF\n"
      "junk on\n"
      "seed 42\n"
      "weapon WEAPON_SMG\n"
      "ticks 30\n"
      "tick 1\n");
  ASSERT_TRUE(p.ok) << p.error.message;
  // The values are written as given: the plugin, not the simulator, decides what they mean.
  EXPECT_EQ(p.scenario.settingsText, "[Settings]\nShortPress=50\nLongPress=0x64\nHoldADS=-1\n");
  EXPECT_EQ(p.scenario.clockStart, 0xFFFFFFFFu);
  EXPECT_EQ(p.scenario.clockStep, 0xFFFFFFFFu);
  EXPECT_TRUE(p.scenario.host.junkResults);
  EXPECT_EQ(p.scenario.host.seed, 42u);
  EXPECT_EQ(p.scenario.weapon, "WEAPON_SMG");
  EXPECT_EQ(p.scenario.tickCount, 30u);
  EXPECT_EQ(p.scenario.name, "test.scn");
}

TEST(Scenario, WithoutSettingsThePluginFindsNoSettingsFile) {
  const Parsed p = parse("tick 1\n");
  ASSERT_TRUE(p.ok) << p.error.message;
  EXPECT_FALSE(p.scenario.settingsText.has_value());
}

TEST(Scenario, TickLinesCarryEveryInput) {
  const Parsed p = parse(
      "tick 3 aim-down aim-up sprint camera wheel weapon-fails weapon WEAPON_SMG "
      "timer 5,-1,0xFFFFFFFF\n"
      "tick 4 key 0x41 key 66,1,2,-3,4,2147483647,-2147483648\n");
  ASSERT_TRUE(p.ok) << p.error.message;
  ASSERT_EQ(p.scenario.ticks.size(), 2u);
  const cli::TickLine& t = p.scenario.ticks[0];
  EXPECT_EQ(t.line, 1);
  EXPECT_TRUE(t.inputs.aimDown && t.inputs.aimUp && t.inputs.sprint && t.inputs.nextCamera &&
              t.inputs.wheel && t.inputs.weaponQueryFails);
  EXPECT_TRUE(t.weaponGiven);
  EXPECT_EQ(t.inputs.weapon, "WEAPON_SMG");
  EXPECT_EQ(t.inputs.timerReads, (std::vector<uint32_t>{5, 0xFFFFFFFF, 0xFFFFFFFF}));

  const cli::TickLine& idle = p.scenario.ticks[1];
  EXPECT_FALSE(idle.inputs.aimDown || idle.inputs.aimUp || idle.inputs.sprint ||
               idle.inputs.nextCamera || idle.inputs.wheel || idle.inputs.weaponQueryFails ||
               idle.weaponGiven);
  EXPECT_TRUE(idle.inputs.timerReads.empty());

  ASSERT_EQ(idle.keys.size(), 2u);
  EXPECT_EQ(idle.first, 4u);
  const cli::KeyEvent& bare = idle.keys[0];
  EXPECT_EQ(bare.key, 0x41u);
  EXPECT_EQ(bare.arg2, 0);
  const cli::KeyEvent& full = idle.keys[1];
  EXPECT_EQ(full.key, 66u);
  EXPECT_EQ(full.arg2, 1);
  EXPECT_EQ(full.arg3, 2);
  EXPECT_EQ(full.args[0], -3);
  EXPECT_EQ(full.args[1], 4);
  EXPECT_EQ(full.args[2], INT32_MAX);
  EXPECT_EQ(full.args[3], INT32_MIN);
}

TEST(Scenario, TheRunEndsAtTheLastTickOrTheTickCountWhicheverIsLater) {
  const Parsed ranges = parse("tick 1-2\ntick 5-9 sprint\n");
  ASSERT_TRUE(ranges.ok) << ranges.error.message;
  ASSERT_EQ(ranges.scenario.ticks.size(), 2u);
  EXPECT_EQ(ranges.scenario.ticks[1].first, 5u);
  EXPECT_EQ(ranges.scenario.ticks[1].last, 9u);
  EXPECT_EQ(ranges.scenario.tickCount, 9u);

  EXPECT_EQ(parse("ticks 3\ntick 9\n").scenario.tickCount, 9u);
  EXPECT_EQ(parse("ticks 20\n").scenario.tickCount, 20u);
  const Parsed last = parse("tick 100000000\n");
  EXPECT_TRUE(last.ok) << last.error.message;
  EXPECT_EQ(last.scenario.tickCount, cli::kMaxTicks);
}

TEST(Scenario, CommentsBlankLinesAndWindowsLineEndsAreIgnored) {
  const Parsed p = parse(
      "\xEF\xBB\xBF# saved by a Windows editor\r\n"
      "\r\n"
      "settings ShortPress=5 # a trailing comment\r\n"
      "\ttick  2 \t aim-down#no space before it\r\n");
  ASSERT_TRUE(p.ok) << p.error.message;
  EXPECT_EQ(p.scenario.settingsText, "[Settings]\nShortPress=5\n");
  ASSERT_EQ(p.scenario.ticks.size(), 1u);
  EXPECT_EQ(p.scenario.ticks[0].line, 4);
  EXPECT_TRUE(p.scenario.ticks[0].inputs.aimDown);
}

TEST(Scenario, SettingsFileIsCopiedAsItIsFromBesideTheScenario) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string ini = "[Settings]\r\nShortPress=80\r\n; kept as written\r\n";
  writeFile(folder, "profiles/slow.ini", ini);
  const fs::path scenario =
      writeFile(folder, "scenario.scn", "settings-file profiles/slow.ini\ntick 1\n");

  const common::Result<cli::Scenario> loaded = cli::loadScenarioFile(scenario.string());
  ASSERT_TRUE(loaded) << loaded.error().message;
  EXPECT_EQ(loaded->settingsText, ini);
  EXPECT_EQ(loaded->name, scenario.string());

  const fs::path absolute = folder.path() / "profiles" / "slow.ini";
  const Parsed p = parse("settings-file " + absolute.string() + "\ntick 1\n", "/nowhere");
  ASSERT_TRUE(p.ok) << p.error.message;
  EXPECT_EQ(p.scenario.settingsText, ini);
}

struct BadScenario {
  const char* what;
  std::string text;
  int line;
  const char* message;  // a part of the message that says what is wrong
};

void PrintTo(const BadScenario& bad, std::ostream* out) {
  *out << bad.what;
}

class ScenarioMistake : public testing::TestWithParam<BadScenario> {};

TEST_P(ScenarioMistake, IsNamedAtItsLine) {
  const BadScenario& bad = GetParam();
  const Parsed p = parse(bad.text);
  ASSERT_FALSE(p.ok);
  EXPECT_EQ(p.error.where, "test.scn");
  EXPECT_EQ(p.error.line, bad.line) << p.error.message;
  EXPECT_THAT(p.error.message, HasSubstr(bad.message));
}

const std::string k2Pow40Plus1 = "1099511627777";

INSTANTIATE_TEST_SUITE_P(
    Scenario, ScenarioMistake,
    testing::Values(
        BadScenario{"UnknownWord", "# header\nsetting ShortPress=1\ntick 1\n", 2,
                    "unknown word 'setting'"},
        BadScenario{"UnknownInput", "tick 1\ntick 2 aim-sideways\n", 2,
                    "unknown input 'aim-sideways'"},
        BadScenario{"TickNotANumber", "tick one\n", 1, "bad tick 'one'"},
        BadScenario{"TimerNotANumber", "tick 1 timer 5,1O\n", 1, "bad timer value '1O'"},
        BadScenario{"EmptyTimerValue", "tick 1 timer 5,,6\n", 1, "bad timer value ''"},
        BadScenario{"PlusSignIsNotANumber", "clock +5 16\ntick 1\n", 1, "bad timer value '+5'"},
        BadScenario{"TickZero", "tick 0\n", 1, "bad tick '0'"},
        BadScenario{"TimerAbove32Bits", "tick 1 timer 4294967296\n", 1, "from -2147483648 to"},
        BadScenario{"SettingAbove32Bits", "settings HoldADS=" + k2Pow40Plus1 + "\ntick 1\n", 1,
                    "bad setting value"},
        BadScenario{"NegativeSeed", "seed -1\ntick 1\n", 1, "bad seed '-1'"},
        BadScenario{"KeyArgumentTooWide", "tick 1 key 65,65536,0,0,0,0,0\n", 1,
                    "bad key argument '65536'"},
        BadScenario{"KeyWithThreeParts", "tick 1 key 65,1,2\n", 1, "key takes CODE or"},
        BadScenario{"TickGoesBack", "tick 5\ntick 3\n", 2,
                    "tick 3 is not after tick 5 on line 1; ticks must increase"},
        BadScenario{"TickGivenTwice", "tick 3\n\ntick 3 sprint\n", 3, "ticks must increase"},
        BadScenario{"TickInsideAnEarlierRange", "tick 1-5\ntick 4\n", 2,
                    "tick 4 is not after tick 5"},
        BadScenario{"RangesOverlap", "tick 1-5\ntick 5-8\n", 2, "tick 5 is not after tick 5"},
        BadScenario{"RangeRunsBackwards", "tick 9-2\n", 1, "tick range 9-2 runs backwards"},
        BadScenario{"HeaderAfterTheFirstTick", "tick 1\nclock 0 1\n", 2,
                    "'clock' must come before the first tick line"},
        BadScenario{"SettingsTwice", "settings ShortPress=1\nsettings LongPress=2\ntick 1\n", 2,
                    "settings given twice"},
        BadScenario{"SettingsThenSettingsFile", "settings\nsettings-file x.ini\ntick 1\n", 2,
                    "settings given twice"},
        BadScenario{"UnknownSettingKey", "settings ShortPres=1\ntick 1\n", 1,
                    "unknown setting 'ShortPres'"},
        BadScenario{"SettingWithoutValue", "settings HoldADS\ntick 1\n", 1, "'HoldADS' needs =N"},
        BadScenario{"MissingSettingsFile", "\nsettings-file no-such.ini\ntick 1\n", 2,
                    "cannot read settings file"},
        BadScenario{"JunkNeitherOnNorOff", "junk yes\ntick 1\n", 1, "junk takes 'on' or 'off'"},
        BadScenario{"ClockWithOneValue", "clock 1000\ntick 1\n", 1, "expected: clock START STEP"},
        BadScenario{"NoTicks", "settings ShortPress=1\n# nothing else\n", 2, "no ticks to run"},
        BadScenario{"EmptyText", "", 0, "no ticks to run"},
        BadScenario{"TickAlone", "tick\n", 1, "expected: tick N or tick A-B"},
        BadScenario{"RangeWithoutEnd", "tick 1-\n", 1, "bad tick ''"},
        BadScenario{"TimerWithoutValue", "tick 1 timer\n", 1, "'timer' needs a value"},
        BadScenario{"KeyWithoutCode", "tick 1 key\n", 1, "'key' needs a value"},
        BadScenario{"WeaponWithoutName", "tick 1 weapon # comment\n", 1, "'weapon' needs a value"},
        BadScenario{"TickAboveTheLimit", "tick 100000001\n", 1, "to 100000000"},
        BadScenario{"RangeAboveTheLimit", "tick 1-100000001\n", 1, "bad tick '100000001'"},
        BadScenario{"TickCountAboveTheLimit", "ticks 100000001\n", 1, "bad tick count"},
        BadScenario{"TickBeyond64Bits", "tick 99999999999999999999999\n", 1, "bad tick"}),
    [](const testing::TestParamInfo<BadScenario>& param) { return std::string(param.param.what); });

TEST(Scenario, ErrorLineGivesTheLineOnlyWhereThereIsOneAndTheProgramWhereNoFileIsNamed) {
  EXPECT_EQ(common::errorLine(common::Error("bad", "a.scn", 3), "kestova-sim"), "a.scn:3: bad");
  EXPECT_EQ(common::errorLine(common::Error("bad", "a.scn"), "kestova-sim"), "a.scn: bad");
  EXPECT_EQ(common::errorLine(common::Error("bad"), "kestova-sim"), "kestova-sim: bad");
}

TEST(Scenario, TimersShowSignedOnlyWhenTheScenarioWritesOneNegative) {
  EXPECT_FALSE(parse("clock 0xFFFFFFD0 16\ntick 1 timer 0x80000000,5\n").scenario.signedTimers);
  EXPECT_FALSE(parse("clock 4294967248 16\ntick 1\n").scenario.signedTimers);
  EXPECT_TRUE(parse("clock -48 16\ntick 1\n").scenario.signedTimers);
  EXPECT_TRUE(parse("tick 1 timer 5,-1\n").scenario.signedTimers);
}

TEST(Scenario, MessagesStayShortAndPrintableForRunawayOrBinaryInput) {
  const Parsed longWord = parse("tick 1 " + std::string(1'000'000, 'x') + "\n");
  ASSERT_FALSE(longWord.ok);
  EXPECT_EQ(longWord.error.line, 1);
  EXPECT_LT(longWord.error.message.size(), 200u);

  // What a plugin library given as the scenario looks like to the parser.
  const Parsed binary =
      parse(std::string("\x7f"
                        "ELF\x02\x01\x01\0\0\0\x03\x1b[31m\n",
                        17));
  ASSERT_FALSE(binary.ok);
  EXPECT_EQ(binary.error.line, 1);
  for (const char c : binary.error.message) {
    EXPECT_GE(static_cast<unsigned char>(c), 0x20) << binary.error.message;
    EXPECT_NE(c, '\x7f') << binary.error.message;
  }
  // UTF-8 shows as written, a stray byte (here Latin-1) escaped: the message stays UTF-8.
  EXPECT_THAT(parse("tick 1 gr\xFC\u00dfe\n").error.message, HasSubstr("'gr\\xFC\u00dfe'"));
}

TEST(Scenario, FilesThatCannotBeReadAreNamedWithoutALineAndSaySo) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string missing = (folder.path() / "missing.scn").string();
  const common::Result<cli::Scenario> noFile = cli::loadScenarioFile(missing);
  ASSERT_FALSE(noFile);
  EXPECT_EQ(noFile.error().where, missing);
  EXPECT_EQ(noFile.error().line, 0);
  EXPECT_EQ(noFile.error().message, "there is no such scenario file");

  const common::Result<cli::Scenario> aFolder = cli::loadScenarioFile(folder.path().string());
  ASSERT_FALSE(aFolder);
  EXPECT_EQ(aFolder.error().line, 0);
  EXPECT_EQ(aFolder.error().message, "is a folder, not a scenario file");

  // A folder named as the settings file is no more readable than a missing one.
  writeFile(folder, "profile.ini/keep", "");
  const Parsed p = parse("settings-file profile.ini\ntick 1\n", folder.path().string());
  ASSERT_FALSE(p.ok);
  EXPECT_EQ(p.error.line, 1);
  EXPECT_THAT(p.error.message, HasSubstr("cannot read settings file"));
}

TEST(Scenario, ASettingsFileGivenAsTheScenarioGetsAHintToCheckIt) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string ini =
      writeFile(folder, "Kestova.ini", "; notes\n[Settings]\nShortPress=50\nLongPress=100\n");
  const common::Result<cli::Scenario> loaded = cli::loadScenarioFile(ini);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.error().line, 1);
  EXPECT_THAT(loaded.error().message, StartsWith("unknown word ';'"));
  EXPECT_THAT(loaded.error().message, HasSubstr("run kestova-sim check " + ini + ")"));

  // A scenario with a mistake gets no such hint.
  const std::string scenario = writeFile(folder, "typo.scn", "tick 1 aim-dwn\n");
  const common::Result<cli::Scenario> typo = cli::loadScenarioFile(scenario);
  ASSERT_FALSE(typo);
  EXPECT_THAT(typo.error().message, Not(HasSubstr("check")));
}

}  // namespace
