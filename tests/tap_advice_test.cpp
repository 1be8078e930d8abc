// "Does my tap count?": what the settings make of measured taps and holds, frame steps at 30 and
// 60 frames per second included, and a suggestion that counts every tap and keeps holds out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "cli/check/tap_advice.h"

namespace {

using ::testing::HasSubstr;

constexpr ToggleSettings kDefaults = settings_file::kDefaults;

std::string textOf(const std::vector<int>& taps, const std::vector<int>& holds,
                   const ToggleSettings& settings = kDefaults) {
  std::string all;
  for (const std::string& line : cli::adviceText(cli::adviseTaps({taps, holds}, settings))) {
    all += line + "\n";
  }
  return all;
}

TEST(TapAdvice, CountsByPlainLengthsAndByWholeFramesAtEachFrameRate) {
  struct Case {
    std::vector<int> taps;
    ToggleSettings settings;
    size_t plain;
    std::vector<size_t> at60;  // always, sometimes
    std::vector<size_t> at30;
  };
  const Case cases[] = {
      // 95 ms reads as 83 or 100 at 60 frames per second: only sometimes a tap. At 30, a
      // window of 50 ms is narrower than two frames, so no tap counts every time.
      {{80, 95, 120, 140}, kDefaults, 2, {1, 1}, {0, 2}},
      // 50 ms is three frames at 60, whatever the moment; at 30 it reads 33 or 67.
      {{50}, kDefaults, 1, {1, 0}, {0, 1}},
      {{0, 10}, {0, 100, 0}, 2, {2, 0}, {2, 0}},
      {{100, 200}, kDefaults, 0, {0, 0}, {0, 0}},
      {{99}, kDefaults, 1, {0, 1}, {0, 1}},
      {{60}, {50, 60, 0}, 0, {0, 1}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.taps));
    const cli::TapCount count = cli::countTaps(c.taps, c.settings);
    EXPECT_EQ(count.plain, c.plain);
    EXPECT_EQ((std::vector<size_t>{count.always[0], count.sometimes[0]}), c.at60);
    EXPECT_EQ((std::vector<size_t>{count.always[1], count.sometimes[1]}), c.at30);
  }
}

TEST(TapAdvice, SuggestsAWindowWithAFramesMarginThatCountsEveryTapAndNoHold) {
  struct Case {
    std::vector<int> taps;
    std::vector<int> holds;
    int32_t shortPress;
    int32_t longPress;
  };
  const Case cases[] = {
      {{80, 95, 120, 140}, {}, 60, 170},  {{80, 95, 120, 140}, {300, 400}, 60, 230},
      {{150, 160}, {900}, 130, 530},      {{30, 35}, {}, 1, 70},
      {{200, 220}, {100, 120}, 170, 240},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.taps) + " " + ::testing::PrintToString(c.holds));
    const cli::TapAdvice advice = cli::adviseTaps({c.taps, c.holds}, kDefaults);
    EXPECT_EQ(advice.suggested.shortPress, c.shortPress);
    EXPECT_EQ(advice.suggested.longPress, c.longPress);
    EXPECT_FALSE(advice.tooClose);
    EXPECT_TRUE(advice.changeNeeded);
  }
  // The lines a player copies, in the file's own syntax.
  EXPECT_THAT(textOf({80, 95, 120, 140}, {300, 400}),
              HasSubstr("set these lines in [Settings] to count every tap with a frame's margin "
                        "at 30 frames per second and keep every hold out:\nShortPress=60\n"
                        "LongPress=230\n"));
  // Taps too quick for a frame's margin: the best there is, and no claim beyond it.
  EXPECT_THAT(textOf({30, 35}, {}), HasSubstr("set these lines in [Settings]:\n"));
}

TEST(TapAdvice, TheSuggestionHoldsForAnyTapsAndHoldsMoreThanTwoFramesApart) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::uniform_int_distribution<int> length(70, 400);
    std::vector<int> taps(1 + random() % 6);
    for (int& tap : taps) tap = length(random);
    const int longest = *std::max_element(taps.begin(), taps.end());
    std::vector<int> holds(random() % 4);
    for (int& hold : holds) hold = longest + 70 + length(random);
    const cli::TapAdvice advice = cli::adviseTaps({taps, holds}, kDefaults);
    SCOPED_TRACE(::testing::PrintToString(taps) + " " + ::testing::PrintToString(holds));
    ASSERT_FALSE(advice.tooClose);
    ASSERT_EQ(advice.tapsSuggested.plain, taps.size());
    for (size_t rate = 0; rate < std::size(cli::kFrameRates); ++rate) {
      ASSERT_EQ(advice.tapsSuggested.always[rate], taps.size());
      if (advice.holdsSuggested) {
        ASSERT_EQ(advice.holdsSuggested->always[rate] + advice.holdsSuggested->sometimes[rate], 0u);
      }
    }
  }
}

TEST(TapAdvice, TapsAndHoldsTooCloseKeepTheHoldsOutAndSaySo) {
  const cli::TapAdvice advice = cli::adviseTaps({{200, 250}, {260}}, kDefaults);
  EXPECT_TRUE(advice.tooClose);
  ASSERT_TRUE(advice.holdsSuggested);
  EXPECT_EQ(advice.holdsSuggested->plain, 0u);
  EXPECT_THAT(textOf({200, 250}, {260}),
              HasSubstr("your taps and holds are closer than a frame, or overlap, so no window "
                        "counts every tap and keeps every hold out"));
  // Holds shorter than the taps keep ShortPress above them, and LongPress stays above the taps.
  const cli::TapAdvice below = cli::adviseTaps({{200, 220}, {100, 120}}, kDefaults);
  EXPECT_FALSE(below.tooClose);
  for (size_t rate = 0; rate < std::size(cli::kFrameRates); ++rate) {
    EXPECT_EQ(below.tapsSuggested.always[rate], 2u);
    ASSERT_TRUE(below.holdsSuggested);
    EXPECT_EQ(below.holdsSuggested->always[rate] + below.holdsSuggested->sometimes[rate], 0u);
  }
}

TEST(TapAdvice, TapsThatAlreadyCountNeedNoChangeAndAHoldThatCountsIsSaid) {
  const ToggleSettings wide{40, 200, 0};
  EXPECT_FALSE(cli::adviseTaps({{100, 120}, {400}}, wide).changeNeeded);
  EXPECT_THAT(textOf({100, 120}, {400}, wide),
              HasSubstr("your taps count as they are, every time"));
  EXPECT_THAT(textOf({70}, {90}),
              HasSubstr("holds: 1 of your 1 hold count as taps by their lengths"));
  EXPECT_THAT(textOf({80, 95, 120, 140}, {}),
              HasSubstr("taps: 2 of your 4 taps count with ShortPress 50 and LongPress 100, by "
                        "their lengths as measured; 80 and 95 ms count; 120 and 140 ms are too "
                        "long."));
}

}  // namespace
