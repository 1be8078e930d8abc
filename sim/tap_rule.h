// What the plugin makes of the aim and camera controls, as the tools read it back from a run:
// the tick summary (and through it the table's latch) and the timeline picture both ask here.
// The plugin applies the same rule in toggle/aim_toggle.cpp; the reference model in tests/
// keeps its own, independent copy.
#pragma once

#include <cstdint>

namespace sim {

// A press, a release or the camera control counts only when the weapon-wheel check that
// follows it reads closed.
constexpr bool inputTaken(bool input, bool wheelOpen) {
  return input && !wheelOpen;
}

// A timer read less the press time, as 32-bit two's complement taken as signed: a timer that
// wraps between the two still gives the time between them.
constexpr int32_t elapsedSince(uint32_t pressTime, uint32_t now) {
  return static_cast<int32_t>(now - pressTime);
}

enum class PressLength : uint8_t { tooShort, tap, tooLong };

// A release is a tap when, timed from the press, the first timer read is at least ShortPress and
// the second is below LongPress: the plugin reads the timer once for each end of the window.
constexpr PressLength pressLength(int32_t atFirstRead, int32_t atSecondRead, int32_t shortPress,
                                  int32_t longPress) {
  if (atFirstRead < shortPress) return PressLength::tooShort;
  return atSecondRead < longPress ? PressLength::tap : PressLength::tooLong;
}

// Whether a release this long after the press, both reads alike, is a tap.
constexpr bool inTapWindow(int32_t elapsed, int32_t shortPress, int32_t longPress) {
  return pressLength(elapsed, elapsed, shortPress, longPress) == PressLength::tap;
}

}  // namespace sim
