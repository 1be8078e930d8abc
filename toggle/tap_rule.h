// The tap rule, in this one place: the plugin applies it to its own timer reads, and the tools
// read runs, check settings files and judge measured presses with it. Constants and constexpr
// functions only: the plugin links no runtime. The reference model in tests/ keeps its own copy.
#pragma once

#include <cstdint>

#include "toggle/settings_file.h"

namespace tap_rule {

// A timer read less the press time, as 32-bit two's complement taken as signed: a timer that
// wraps between the two still gives the time between them. The subtraction is unsigned, so
// that the wrap is no signed overflow.
constexpr int32_t elapsedSince(uint32_t pressTime, uint32_t now) {
  return static_cast<int32_t>(now - pressTime);
}

// The two ends of the window. The plugin checks each against a timer read of its own: the timer
// may move between them, and a press too short costs only one read.
constexpr bool reachesShortPress(int32_t elapsed, const ToggleSettings& settings) {
  return elapsed >= settings.shortPress;
}
constexpr bool belowLongPress(int32_t elapsed, const ToggleSettings& settings) {
  return elapsed < settings.longPress;
}

enum class PressLength : uint8_t { tooShort, tap, tooLong };

// What a release makes of the press, from the first and the second read after it.
constexpr PressLength pressLength(int32_t firstRead, int32_t secondRead,
                                  const ToggleSettings& settings) {
  if (!reachesShortPress(firstRead, settings)) return PressLength::tooShort;
  return belowLongPress(secondRead, settings) ? PressLength::tap : PressLength::tooLong;
}

// Whether a press this long is a tap, both reads alike.
constexpr bool isTap(int32_t elapsed, const ToggleSettings& settings) {
  return pressLength(elapsed, elapsed, settings) == PressLength::tap;
}

// The press lengths that are taps, from first to last; none when first > last. In 64 bits, so
// that LongPress - 1 does not overflow at the bottom of the range.
struct TapWindow {
  int64_t first;
  int64_t last;
};
constexpr TapWindow tapWindow(const ToggleSettings& settings) {
  return {settings.shortPress, int64_t{settings.longPress} - 1};
}

// A press, a release or the camera control counts only when the weapon-wheel check that follows
// it reads closed. The plugin makes that check only after the control reads active, so it
// writes the rule out as a short-circuit; the tools, reading a run back, ask here.
constexpr bool inputTaken(bool input, bool wheelOpen) {
  return input && !wheelOpen;
}

}  // namespace tap_rule
