// "Does my tap count?": what the settings make of measured taps and holds, frame steps at 30 and
// 60 frames per second included, held against a frame-by-frame model of the game; and a
// suggestion that changes only what a measured press needs, counts every tap and no hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "cli/check/tap_advice.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr ToggleSettings kDefaults = settings_file::kDefaults;

std::string textOf(const std::vector<int>& taps, const std::vector<int>& holds,
                   const ToggleSettings& settings = kDefaults, bool frameDetail = true) {
  std::string all;
  for (const std::string& line :
       cli::adviceText(cli::adviseTaps({taps, holds}, settings), frameDetail)) {
    all += line + "\n";
  }
  return all;
}

// The game, frame by frame, on its own: frames come every 1000 / rate ms and read a millisecond
// timer; the press is down from its start for lengthMs. What the game reads, for each start
// within the first 200 ms that a frame sees at all.
constexpr size_t kStarts = 200;
std::vector<int64_t> gameReadings(int lengthMs, int rate) {
  std::vector<int64_t> readings;
  for (size_t start = 0; start < kStarts; ++start) {
    std::optional<int64_t> downAt;
    for (int64_t frame = 0;; ++frame) {
      const double time = static_cast<double>(frame) * 1000.0 / rate;
      const int64_t timer = frame * 1000 / rate;
      const auto from = static_cast<double>(start);
      const bool down = time >= from && time < from + lengthMs;
      if (down && !downAt) downAt = timer;
      if (!down && time >= from + lengthMs) {
        if (downAt) readings.push_back(timer - *downAt);
        break;
      }
    }
  }
  return readings;
}

TEST(TapAdvice, FrameCountsAgreeWithAFrameByFrameModelOfTheGame) {
  const ToggleSettings windows[] = {kDefaults, {17, 34, 0}, {60, 230, 0}, {990, 1010, 0}};
  std::vector<int> lengths;
  for (int length = 0; length <= 400; ++length) lengths.push_back(length);
  for (int length = 950; length <= 1050; length += 3) lengths.push_back(length);
  for (const int length : {2500, 2510, 4999, 5000, 5017}) lengths.push_back(length);
  for (size_t r = 0; r < std::size(cli::kFrameRates); ++r) {
    const int rate = cli::kFrameRates[r];
    for (const int length : lengths) {
      const std::vector<int64_t> readings = gameReadings(length, rate);
      const cli::SeenRange seen = cli::seenRange(length, rate);
      if (!readings.empty()) {
        ASSERT_EQ(seen.shortest, *std::min_element(readings.begin(), readings.end()))
            << length << " ms at " << rate;
        ASSERT_EQ(seen.longest, *std::max_element(readings.begin(), readings.end()))
            << length << " ms at " << rate;
      }
      for (const ToggleSettings& window : windows) {
        const auto taps = static_cast<size_t>(
            std::count_if(readings.begin(), readings.end(), [&window](int64_t read) {
              return read >= window.shortPress && read < window.longPress;
            }));
        const cli::TapCount count = cli::countTaps({length}, window);
        // A press no frame sees is no tap.
        ASSERT_EQ(count.always[r], taps == kStarts ? 1u : 0u)
            << length << " ms at " << rate << " in " << window.shortPress << "-"
            << window.longPress;
        ASSERT_EQ(count.sometimes[r], taps > 0 && taps < kStarts ? 1u : 0u)
            << length << " ms at " << rate << " in " << window.shortPress << "-"
            << window.longPress;
      }
    }
  }
  // Presses of seconds read to the frame, too: 2510 ms is 75 or 76 frames at 30 per second.
  EXPECT_EQ(cli::seenRange(2510, 30).shortest, 2500);
  EXPECT_EQ(cli::seenRange(2510, 30).longest, 2534);
}

TEST(TapAdvice, TheSuggestionChangesOnlyWhatAMeasuredPressNeeds) {
  struct Case {
    std::vector<int> taps;
    std::vector<int> holds;
    ToggleSettings settings;
    ToggleSettings suggested;
  };
  const Case cases[] = {
      // Taps too long: only LongPress goes up, halfway to the holds where there are some.
      {{80, 95, 120, 140}, {}, kDefaults, {50, 170, 0}},
      {{80, 95, 120, 140}, {300, 400}, kDefaults, {50, 230, 0}},
      // Taps of 110 ms and more ask nothing of a ShortPress of 50: a quicker tap still counts.
      {{110, 120, 140}, {400}, kDefaults, {50, 280, 0}},
      // A LongPress of seconds comes down only to keep measured holds out.
      {{80, 90}, {300}, {50, 10140, 0}, {50, 200, 0}},
      // ShortPress comes down to count the shortest tap with a frame's margin ...
      {{80, 90}, {}, {90, 200, 0}, {60, 200, 0}},
      // ... and goes up only to keep out holds shorter than the taps.
      {{200, 220}, {100, 120}, kDefaults, {170, 240, 0}},
      {{30, 35}, {}, kDefaults, {10, 100, 0}},
      // A ShortPress below 0 goes up only for a measured hold.
      {{80, 90}, {}, {-5, 60, 0}, {-5, 110, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.taps) + " " + ::testing::PrintToString(c.holds));
    const cli::TapAdvice advice = cli::adviseTaps({c.taps, c.holds}, c.settings);
    EXPECT_EQ(advice.suggested.shortPress, c.suggested.shortPress);
    EXPECT_EQ(advice.suggested.longPress, c.suggested.longPress);
    EXPECT_TRUE(advice.changeNeeded);
  }
  // The lines a player copies, in the file's own syntax.
  EXPECT_THAT(textOf({80, 95, 120, 140}, {300, 400}),
              HasSubstr("set these lines in [Settings] to count every tap with a frame's margin "
                        "at 30 fps and keep every hold out:\nShortPress=50\nLongPress=230\n"));
  // Taps too quick for a frame's margin: the best there is, and no claim beyond it.
  EXPECT_THAT(textOf({30, 35}, {}), HasSubstr("set these lines in [Settings]:\n"));
  // Settings that count every tap and no hold stay as they are.
  const ToggleSettings wide{40, 200, 0};
  EXPECT_FALSE(cli::adviseTaps({{100, 120}, {400}}, wide).changeNeeded);
  EXPECT_THAT(textOf({100, 120}, {400}, wide),
              HasSubstr("your taps count as they are, every time; no change is needed."));
}

TEST(TapAdvice, NoSuggestionEverCountsAMeasuredHold) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(20, 900);
  // Taps a frame at 30 per second always sees.
  std::uniform_int_distribution<int> tapLength(40, 900);
  for (int round = 0; round < 3000; ++round) {
    std::vector<int> taps(1 + random() % 6);
    for (int& tap : taps) tap = tapLength(random);
    std::vector<int> holds(random() % 4);
    for (int& hold : holds) hold = length(random);
    const ToggleSettings settings{length(random) - 100, length(random) * 3 - 500, 0};
    const cli::TapAdvice advice = cli::adviseTaps({taps, holds}, settings);
    SCOPED_TRACE(::testing::PrintToString(taps) + " " + ::testing::PrintToString(holds));
    if (advice.holdsSuggested && !advice.noWindow) {
      for (size_t r = 0; r < std::size(cli::kFrameRates); ++r) {
        ASSERT_EQ(advice.holdsSuggested->always[r] + advice.holdsSuggested->sometimes[r], 0u);
      }
    }
    if (advice.noWindow) ASSERT_EQ(advice.suggested, settings);
    // Taps and holds more than two frames apart leave a window that counts every tap.
    const int longestTap = *std::max_element(taps.begin(), taps.end());
    if (std::all_of(holds.begin(), holds.end(), [&](int hold) { return hold > longestTap + 70; })) {
      ASSERT_FALSE(advice.tooClose);
      ASSERT_EQ(advice.tapsSuggested.plain, taps.size());
      ASSERT_EQ(advice.tapsSuggested.always[1], taps.size());
    }
  }
  // Holds as long as the taps on both sides leave no window at all, and it is said.
  const cli::TapAdvice squeezed = cli::adviseTaps({{100}, {99, 101}}, kDefaults);
  EXPECT_TRUE(squeezed.noWindow);
  EXPECT_THAT(textOf({100}, {99, 101}), HasSubstr("suggestion: none: your holds are so close"));
  // Nor is a window offered that would count none of the taps, or no more than now.
  EXPECT_TRUE(cli::adviseTaps({{80}, {90}}, kDefaults).noWindow);
  EXPECT_FALSE(cli::adviseTaps({{60}, {30}}, kDefaults).suggestionHelps);
}

TEST(TapAdvice, ATapOfASecondOrMoreIsLeftOutAndSaid) {
  const cli::TapAdvice advice = cli::adviseTaps({{80, 95, 120, 2000}, {300, 400}}, kDefaults);
  EXPECT_EQ(advice.notTaps, std::vector<int>{2000});
  EXPECT_GT(advice.suggested.longPress, 120);
  EXPECT_LE(advice.suggested.longPress, 300);
  EXPECT_THAT(textOf({80, 95, 120, 2000}, {300}),
              HasSubstr("taps: 2000 ms was a hold, not a tap (1000 ms or more), so it is left "
                        "out.\n"));
  // A key held while the window lost its focus gives nothing at all to go by.
  EXPECT_EQ(textOf({25296}, {}),
            "taps: 25296 ms was a hold, not a tap (1000 ms or more), so it is left out.\n"
            "taps: none to go by, so there is no advice.\n");
}

TEST(TapAdvice, WithoutHoldsItSaysThatAnyShorterPressToggles) {
  EXPECT_THAT(textOf({80, 95, 120, 140}, {}),
              HasSubstr("; no holds were measured, so any press shorter than 170 ms toggles aim, "
                        "a normal aim too.\n"));
  EXPECT_THAT(textOf({80, 95}, {}, {50, 10140, 0}),
              HasSubstr("no change is needed; no holds were measured, so any press shorter than "
                        "10140 ms toggles aim"));
  EXPECT_THAT(textOf({80, 95}, {300}), Not(HasSubstr("no holds were measured")));
}

TEST(TapAdvice, CountsReadAsAPlayerWouldSayThemForNoneOneAndMany) {
  EXPECT_THAT(textOf({120, 130, 140}, {}), HasSubstr("taps: none of your 3 taps counts with"));
  EXPECT_THAT(textOf({80, 130, 140}, {}), HasSubstr("taps: 1 of your 3 taps counts with"));
  EXPECT_THAT(textOf({80, 90, 140}, {}), HasSubstr("taps: 2 of your 3 taps count with"));
  EXPECT_THAT(textOf({80, 90}, {}), HasSubstr("taps: both of your taps count with"));
  EXPECT_THAT(textOf({80, 90, 85}, {}), HasSubstr("taps: all 3 of your taps count with"));
  EXPECT_THAT(textOf({80}, {}), HasSubstr("taps: your tap counts with"));
  EXPECT_THAT(textOf({120}, {}), HasSubstr("taps: your tap does not count with"));
  EXPECT_THAT(textOf({120}, {}), HasSubstr("; 120 ms is too long."));
  EXPECT_THAT(textOf({80}, {400}), HasSubstr("holds: your hold does not count as a tap"));
  EXPECT_THAT(textOf({80}, {400, 500}), HasSubstr("holds: none of your 2 holds counts as a tap"));
  EXPECT_THAT(textOf({80}, {90, 500}), HasSubstr("holds: 1 of your 2 holds counts as a tap"));
  // A player gets one plain sentence on frames; a mod developer the counts.
  EXPECT_THAT(textOf({80, 95, 120, 140}, {}),
              HasSubstr("taps: by whole frames, at 60 fps 1 counts every time and 1 only "
                        "sometimes; at 30 fps 2 count only sometimes."));
  EXPECT_THAT(textOf({80}, {}, kDefaults, false),
              HasSubstr("taps: the game sees presses in whole frames, so a press can read up to "
                        "33 ms longer or shorter at 30 fps"));
}

}  // namespace
