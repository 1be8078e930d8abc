// The tap decision at every boundary of 32-bit timer arithmetic, against 64-bit arithmetic done
// by hand. Run under UndefinedBehaviorSanitizer, it also shows the plugin never overflows.
#include <gtest/gtest.h>

#include "tests/plugin_harness.h"
#include "toggle/tap_rule.h"

using testing_support::PluginHarness;
using testing_support::settingsIni;

namespace {

// later - earlier in 32-bit two's complement, taken as signed: computed wide, then folded.
int64_t wrappedDifference(uint32_t later, uint32_t earlier) {
  int64_t d = static_cast<int64_t>(later) - static_cast<int64_t>(earlier);
  if (d > INT32_MAX) d -= INT64_C(1) << 32;
  if (d < INT32_MIN) d += INT64_C(1) << 32;
  return d;
}

const uint32_t kTimes[] = {0u,          1u,          49u,         50u,         99u,
                           100u,        0x7FFFFF9Cu, 0x7FFFFFFEu, 0x7FFFFFFFu, 0x80000000u,
                           0x80000001u, 0x80000064u, 0xFFFFFF9Cu, 0xFFFFFFFEu, 0xFFFFFFFFu};

const int64_t kWindowEnds[] = {INT32_MIN, INT32_MIN + 1, -1,       0, 1, 50,
                               100,       INT32_MAX - 1, INT32_MAX};

}  // namespace

TEST(TimerArithmetic, TheTapDecisionMatchesWideArithmeticAtEveryBoundary) {
  uint64_t checked = 0;
  uint64_t flips = 0;
  for (const int64_t shortPress : kWindowEnds) {
    for (const int64_t longPress : kWindowEnds) {
      PluginHarness harness(settingsIni(shortPress, longPress, 1));
      bool latch = false;
      for (const uint32_t press : kTimes) {
        for (const uint32_t first : kTimes) {
          // The second read is the first, a step either way, or the far side of the window.
          for (const uint32_t second : {first, first + 1, first - 1, press + 0x80000000u}) {
            sim::TickInputs down;
            down.aimDown = true;
            down.timerReads = {press};
            harness.step(down);
            sim::TickInputs up;
            up.aimUp = true;
            up.timerReads = {first, second};
            const bool tap = wrappedDifference(first, press) >= shortPress &&
                             wrappedDifference(second, press) < longPress;
            latch = latch != tap;
            ASSERT_EQ(harness.step(up).latch, latch)
                << "ShortPress " << shortPress << ", LongPress " << longPress << ", press " << press
                << ", reads " << first << " and " << second;
            ++checked;
            flips += tap;
          }
        }
      }
      ASSERT_TRUE(harness.host().protocolErrors().empty());
    }
  }
  EXPECT_EQ(checked, 81u * 15 * 15 * 4);
  EXPECT_GT(flips, checked / 10) << "too few taps to say much";
}

// The rule the plugin and the tools share (the table's latch, the picture's tap windows and
// release labels, the check's tap window) against the same wide arithmetic.
TEST(TimerArithmetic, TheToolsTapRuleMatchesWideArithmeticAtEveryBoundary) {
  for (const int64_t shortPress : kWindowEnds) {
    for (const int64_t longPress : kWindowEnds) {
      const ToggleSettings settings{static_cast<int32_t>(shortPress),
                                    static_cast<int32_t>(longPress), 0};
      for (const uint32_t press : kTimes) {
        for (const uint32_t first : kTimes) {
          for (const uint32_t second : {first, first + 1, first - 1, press + 0x80000000u}) {
            const int64_t atFirst = wrappedDifference(first, press);
            const int64_t atSecond = wrappedDifference(second, press);
            const tap_rule::PressLength expected =
                atFirst < shortPress   ? tap_rule::PressLength::tooShort
                : atSecond < longPress ? tap_rule::PressLength::tap
                                       : tap_rule::PressLength::tooLong;
            ASSERT_EQ(tap_rule::pressLength(tap_rule::elapsedSince(press, first),
                                            tap_rule::elapsedSince(press, second), settings),
                      expected)
                << "ShortPress " << shortPress << ", LongPress " << longPress << ", press " << press
                << ", reads " << first << " and " << second;
            ASSERT_EQ(tap_rule::isTap(tap_rule::elapsedSince(press, first), settings),
                      atFirst >= shortPress && atFirst < longPress);
            const tap_rule::TapWindow window = tap_rule::tapWindow(settings);
            ASSERT_EQ(atFirst >= window.first && atFirst <= window.last,
                      tap_rule::isTap(tap_rule::elapsedSince(press, first), settings));
          }
        }
      }
    }
  }
}
