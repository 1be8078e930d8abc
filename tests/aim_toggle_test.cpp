// The aim latch, driven through the real plugin library tick by tick.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/plugin_harness.h"
#include "tests/support/temp_folder.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::callLabels;
using testing_support::PluginHarness;
using testing_support::readFile;
using testing_support::settingsIni;

namespace {

sim::TickInputs at(std::vector<uint32_t> timerReads) {
  sim::TickInputs inputs;
  inputs.timerReads = std::move(timerReads);
  return inputs;
}
sim::TickInputs press(uint32_t timer) {
  sim::TickInputs inputs = at({timer});
  inputs.aimDown = true;
  return inputs;
}
sim::TickInputs release(std::vector<uint32_t> timerReads) {
  sim::TickInputs inputs = at(std::move(timerReads));
  inputs.aimUp = true;
  return inputs;
}
sim::TickInputs with(sim::TickInputs inputs, void (*change)(sim::TickInputs&)) {
  change(inputs);
  return inputs;
}

// Presses at `from`, releases at `to`; returns the latch after the release.
bool tap(PluginHarness& harness, uint32_t from, uint32_t to) {
  harness.step(press(from));
  return harness.step(release({to})).latch;
}

std::vector<std::string> after(const std::vector<std::string>& labels, size_t skip) {
  return {labels.begin() + static_cast<std::ptrdiff_t>(skip), labels.end()};
}

const std::vector<std::string> kIdleWatch = {"nameHash", "controlWentDown", "nameHash",
                                             "controlCameUp"};

}  // namespace

TEST(AimToggle, APressOfExactlyShortPressFlipsAndOneOfExactlyLongPressDoesNot) {
  PluginHarness harness(settingsIni(50, 100, 0));
  EXPECT_TRUE(tap(harness, 1000, 1050));
  EXPECT_TRUE(tap(harness, 2000, 2100)) << "100 units is no tap: the latch stays on";
  EXPECT_FALSE(tap(harness, 3000, 3099));
  EXPECT_FALSE(tap(harness, 4000, 4049)) << "49 units is no tap: the latch stays off";
  EXPECT_FALSE(tap(harness, 5000, 9000));
  EXPECT_TRUE(harness.host().protocolErrors().empty());
}

TEST(AimToggle, TimerDifferencesWrapAndCompareAsSigned32BitValues) {
  {
    PluginHarness harness(settingsIni(50, 100, 0));
    EXPECT_TRUE(tap(harness, 0xFFFFFFF0u, 0x00000040u)) << "80 units across the 2^32 wrap";
    EXPECT_FALSE(tap(harness, 0x7FFFFFF0u, 0x80000030u)) << "64 units across the sign change";
    // A release before its press is a negative length, never a huge positive one.
    EXPECT_FALSE(tap(harness, 0x80000000u, 0x7FFFFFFFu));
  }
  PluginHarness negative(settingsIni(INT32_MIN, 0, 0));
  EXPECT_TRUE(tap(negative, 0x80000000u, 0x7FFFFFFFu)) << "-1 lies in [INT32_MIN, 0)";
  EXPECT_TRUE(tap(negative, 5, 5)) << "0 is not below LongPress 0: the latch stays on";
}

TEST(AimToggle, APressDuringTheWheelIsNotRecordedAndItsReleaseMeasuresFromTheEarlierPress) {
  PluginHarness harness(settingsIni(50, 100, 0));
  harness.step(with(press(1000), [](sim::TickInputs& in) { in.wheel = true; }));
  // Measured from the initial press time 0: 70 units, a tap.
  EXPECT_TRUE(harness.step(release({70})).latch);

  harness.step(press(2000));
  harness.step(with(press(2500), [](sim::TickInputs& in) { in.wheel = true; }));
  EXPECT_FALSE(harness.step(release({2060})).latch) << "measured from 2000, not 2500";
}

TEST(AimToggle, AReleaseDuringTheWheelIsIgnoredAndTheTimerIsNotRead) {
  PluginHarness harness(settingsIni(50, 100, 0));
  harness.step(press(1000));
  const auto& calls =
      harness.tick(with(release({1060}), [](sim::TickInputs& in) { in.wheel = true; }));
  EXPECT_THAT(callLabels(calls), Not(Contains("hostTimer")));
  EXPECT_FALSE(sim::summarizeTick(calls).latch);
  EXPECT_TRUE(harness.step(release({1070})).latch) << "the press is still the one at 1000";
}

TEST(AimToggle, AReleaseNeverResetsThePressTime) {
  PluginHarness harness(settingsIni(50, 100, 0));
  EXPECT_TRUE(tap(harness, 1000, 1060));
  EXPECT_FALSE(harness.step(release({1070})).latch) << "70 units from the same press";
  EXPECT_FALSE(harness.step(release({1200})).latch) << "200 units: no longer a tap";
}

TEST(AimToggle, PressAndReleaseInOneTickFlipOnlyWhenShortPressIsZeroOrLess) {
  for (const auto& [shortPress, flips] :
       std::vector<std::pair<int, bool>>{{0, true}, {-7, true}, {1, false}, {50, false}}) {
    PluginHarness harness(settingsIni(shortPress, 100, 0));
    const auto both = with(at({5000}), [](sim::TickInputs& in) { in.aimDown = in.aimUp = true; });
    EXPECT_EQ(harness.step(both).latch, flips) << "ShortPress=" << shortPress;
  }
}

TEST(AimToggle, TheReleaseReadsTheTimerOnceForEachEndOfTheWindow) {
  PluginHarness harness(settingsIni(50, 100, 0));
  harness.step(press(1000));
  // First read 60 passes ShortPress; the second, 200, fails LongPress: no tap.
  const auto& calls = harness.tick(release({1060, 1200}));
  EXPECT_THAT(callLabels(calls), Contains("hostTimer").Times(2));
  EXPECT_FALSE(sim::summarizeTick(calls).latch);
  EXPECT_TRUE(harness.step(release({1060, 1099})).latch);
  // Too short: the second read is never made.
  EXPECT_THAT(callLabels(harness.tick(release({1010, 1060}))), Contains("hostTimer").Times(1));
}

TEST(AimToggle, WithShortPressNotBelowLongPressOnlyATimerRunningBackwardsFlips) {
  {
    PluginHarness harness(settingsIni(100, 50, 0));
    EXPECT_FALSE(tap(harness, 1000, 1075));
    EXPECT_FALSE(tap(harness, 1000, 1100));
    harness.step(press(1000));
    EXPECT_TRUE(harness.step(release({1100, 1040})).latch) << "100 then 40 units";
  }

  // The first difference is INT32_MAX and the second wraps past it to INT32_MIN.
  PluginHarness edge(settingsIni(INT32_MAX, INT32_MIN + 1, 0));
  edge.step(press(0));
  EXPECT_TRUE(edge.step(release({0x7FFFFFFFu, 0x80000000u})).latch);
}

TEST(AimToggle, SprintSendsOffWhileItLastsAndTheLatchNeverDrops) {
  PluginHarness harness;
  ASSERT_TRUE(tap(harness, 1000, 1060));
  const auto sprint = with(at({1100}), [](sim::TickInputs& in) { in.sprint = true; });
  for (int i = 0; i < 3; ++i) {
    const sim::TickSummary tick = harness.step(sprint);
    EXPECT_TRUE(tick.latch);
    EXPECT_EQ(tick.forcedAim, false);
  }
  EXPECT_EQ(harness.step(at({1200})).forcedAim, true);
}

TEST(AimToggle, AWeaponChangeActsFromTheTickAfterTheQuerySeesIt) {
  PluginHarness harness;
  ASSERT_TRUE(tap(harness, 1000, 1060));
  const auto unarmed = with(at({1100}), [](sim::TickInputs& in) { in.weapon = "WEAPON_UNARMED"; });
  EXPECT_EQ(harness.step(unarmed).forcedAim, true) << "the query comes after forcedAim";
  EXPECT_EQ(harness.step(unarmed).forcedAim, false);
  EXPECT_TRUE(harness.step(unarmed).latch);
  EXPECT_EQ(harness.step(at({1200})).forcedAim, false) << "armed again, seen after forcedAim";
  EXPECT_EQ(harness.step(at({1200})).forcedAim, true);
}

TEST(AimToggle, AFailedWeaponQueryKeepsTheUnarmedStateWhateverTheSlotHolds) {
  // Junk results: a failed query leaves junk in the slot, at times the unarmed identifier.
  PluginHarness harness(std::nullopt, sim::HostOptions{true, 7});
  ASSERT_TRUE(tap(harness, 1000, 1060));
  const auto failing = with(at({1100}), [](sim::TickInputs& in) { in.weaponQueryFails = true; });
  for (int i = 0; i < 40; ++i) EXPECT_EQ(harness.step(failing).forcedAim, true) << i;

  auto unarmed = at({1100});
  unarmed.weapon = "WEAPON_UNARMED";
  harness.step(unarmed);
  auto unarmedFailing = with(failing, [](sim::TickInputs& in) { in.weapon = "WEAPON_PISTOL"; });
  for (int i = 0; i < 40; ++i) EXPECT_EQ(harness.step(unarmedFailing).forcedAim, false) << i;
  EXPECT_TRUE(harness.host().protocolErrors().empty());
}

TEST(AimToggle, ForcedModeMakesItsCallsInOrderWithAtMostTwentyNatives) {
  {
    PluginHarness harness(settingsIni(50, 100, 0));
    const std::vector<std::string> unlatched = {"forcedAimSubject",   "forcedAim",
                                                "weaponQuerySubject", "currentWeapon",
                                                "nameHash",           "scriptWait"};
    EXPECT_EQ(after(callLabels(harness.tick(at({0}))), 4), unlatched);
  }
  // The busiest tick: press and release in one tick pass the wheel checks, the tap is
  // accepted, and every optional call of the latched path is made.
  PluginHarness busy(settingsIni(0, 100, 0));
  const auto both = with(at({5000}), [](sim::TickInputs& in) {
    in.aimDown = in.aimUp = true;
    in.nextCamera = true;
  });
  const std::vector<std::string> labels = callLabels(busy.tick(both));
  const std::vector<std::string> expected = {
      "nameHash",         "controlWentDown", "namedStateActive",   "hostTimer",
      "nameHash",         "controlCameUp",   "namedStateActive",   "hostTimer",
      "hostTimer",        "perFrameHold",    "nameHash",           "controlActive",
      "forcedAimSubject", "forcedAim",       "weaponQuerySubject", "currentWeapon",
      "nameHash",         "nameHash",        "controlActive",      "namedStateActive",
      "scriptWait"};
  EXPECT_EQ(labels, expected);
  EXPECT_EQ(labels.size(), 21u);
}

TEST(AimToggle, EveryQueryHashesItsNameAgainAndPassesItsOwnControl) {
  PluginHarness harness(settingsIni(50, 100, 0));
  ASSERT_TRUE(tap(harness, 1000, 1060));
  for (int i = 0; i < 3; ++i) {
    const std::vector<sim::TraceEntry>& calls = harness.tick(at({1100}));
    for (size_t k = 0; k < calls.size(); ++k) {
      const sim::NativeInfo* native = calls[k].native;
      if (native == nullptr ||
          (native->hash != contract::kControlWentDown && native->hash != contract::kControlCameUp &&
           native->hash != contract::kControlActive)) {
        continue;
      }
      ASSERT_GT(k, 0u);
      ASSERT_NE(calls[k - 1].native, nullptr);
      EXPECT_EQ(calls[k - 1].native->hash, contract::kNameHash);
      EXPECT_EQ(calls[k].args[1], calls[k - 1].result);
      const std::string expectedName = native->hash != contract::kControlActive ? "INPUT_AIM"
                                       : calls[k].args[0] == 21                 ? "INPUT_SPRINT"
                                                                : "INPUT_NEXT_CAMERA";
      EXPECT_EQ(calls[k - 1].text, expectedName);
    }
  }
}

TEST(AimToggle, HoldModeMakesOnlyTheHoldCallAndTheCameraCheckWhileLatched) {
  PluginHarness harness(settingsIni(50, 100, 2));
  auto unarmed = at({0});
  unarmed.weapon = "WEAPON_UNARMED";
  EXPECT_THAT(after(callLabels(harness.tick(unarmed)), 4), ElementsAre("scriptWait"));
  harness.step(press(1000));
  EXPECT_TRUE(harness.step(release({1060})).latch);
  const std::vector<std::string> latched = {"perFrameHold", "nameHash", "controlActive",
                                            "scriptWait"};
  for (int i = 0; i < 3; ++i) {
    auto sprintUnarmed = unarmed;
    sprintUnarmed.sprint = true;
    EXPECT_EQ(after(callLabels(harness.tick(sprintUnarmed)), 4), latched);
  }
}

TEST(AimToggle, TheCameraCancelsOnlyWhileLatchedAndWithoutTheWheel) {
  const auto camera = with(at({0}), [](sim::TickInputs& in) { in.nextCamera = true; });
  {
    PluginHarness harness(settingsIni(50, 100, 0));
    EXPECT_THAT(callLabels(harness.tick(camera)), Not(Contains("controlActive"))) << "latch off";
    ASSERT_TRUE(tap(harness, 1000, 1060));
    const auto cameraAndWheel = with(camera, [](sim::TickInputs& in) { in.wheel = true; });
    EXPECT_TRUE(harness.step(cameraAndWheel).latch);
    const sim::TickSummary cancelled = harness.step(camera);
    EXPECT_FALSE(cancelled.latch);
    EXPECT_EQ(cancelled.forcedAim, true) << "the cancel comes after this tick's forcedAim";
    EXPECT_EQ(harness.step(at({2000})).forcedAim, false);
  }

  PluginHarness hold(settingsIni(50, 100, 1));
  ASSERT_TRUE(tap(hold, 1000, 1060));
  EXPECT_FALSE(hold.step(camera).latch);
  EXPECT_THAT(after(callLabels(hold.tick(camera)), 4), ElementsAre("scriptWait"));
}

TEST(ToggleSettings, NoFileMeansFiftyAndAHundredInForcedMode) {
  PluginHarness harness;
  EXPECT_FALSE(tap(harness, 1000, 1049));
  EXPECT_TRUE(tap(harness, 2000, 2050));
  EXPECT_TRUE(tap(harness, 3000, 3100));
  EXPECT_EQ(harness.step(at({4000})).forcedAim, true);
}

TEST(ToggleSettings, TheSettingsFileShippedToPlayersHoldsTheDefaults) {
  const std::string text = readFile(KESTOVA_SOURCE_DIR "/package/Kestova.ini");
  ASSERT_THAT(text, HasSubstr("ShortPress=50"));
  // A file with other values proves the shipped one is read at all.
  PluginHarness probe(text.substr(0, text.find("ShortPress=50")) + "ShortPress=7\nLongPress=8\n");
  EXPECT_TRUE(tap(probe, 1000, 1007));
  probe.unload();

  PluginHarness harness(text);
  EXPECT_FALSE(tap(harness, 1000, 1049));
  EXPECT_TRUE(tap(harness, 2000, 2050));
  EXPECT_TRUE(tap(harness, 3000, 3100));
  EXPECT_EQ(harness.step(at({4000})).forcedAim, true);
}

TEST(ToggleSettings, AnyNonzeroHoldAdsSelectsHoldMode) {
  for (const int holdAds : {1, 2, -1, 65536}) {
    PluginHarness harness(settingsIni(50, 100, holdAds));
    EXPECT_TRUE(tap(harness, 1000, 1060)) << holdAds;
    EXPECT_FALSE(harness.step(at({2000})).forcedAim.has_value()) << holdAds;
  }
}

TEST(ToggleSettings, AreReadWhenTheScriptStartsAndNeverAgain) {
  PluginHarness harness;
  // Written after load, before the first tick: attach must not have read it.
  testing_support::writeFile(harness.folder(), "Kestova.ini", settingsIni(10, 20, 0));
  EXPECT_TRUE(tap(harness, 1000, 1015));
  testing_support::writeFile(harness.folder(), "Kestova.ini", settingsIni(1000, 2000, 1));
  EXPECT_TRUE(tap(harness, 2000, 3500)) << "1500 units would be a tap only under the new file";
  EXPECT_TRUE(harness.step(at({4000})).forcedAim.has_value()) << "still forced mode";
}

TEST(ToggleSettings, NegativeAndReversedValuesAreUsedUnchanged) {
  PluginHarness harness(settingsIni(-100, -50, 0));
  EXPECT_TRUE(tap(harness, 1080, 1000)) << "-80 lies in [-100, -50)";
  EXPECT_FALSE(tap(harness, 1000, 1000 - 99)) << "-99 flips it back off";
  EXPECT_FALSE(tap(harness, 1000, 1000 - 100 - 1)) << "-101 is below ShortPress";
}
