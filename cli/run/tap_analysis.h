// The aim control's presses in a run and what the plugin made of each, worked out from the
// timeline with the tap rule of toggle/tap_rule.h, for the picture to draw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cli/run/run.h"
#include "toggle/tap_rule.h"

namespace cli {

inline constexpr size_t kNoTick = SIZE_MAX;

struct Press {
  size_t down = kNoTick;  // kNoTick: pressed before the first tick drawn
  size_t up = kNoTick;    // kNoTick: still held at the last tick drawn
  size_t windowEnd = 0;   // the last tick its tap window is drawn to: before the next press
  // The plugin took the press: the wheel was closed and it read the timer.
  bool taken = false;
  // The plugin's press time at this press's release: its own if taken, else an earlier one's
  // (0 before the plugin has taken any).
  uint32_t pressTime = 0;
};

// The presses in order, each index into the timeline's ticks.
std::vector<Press> pressesOf(const std::vector<TickRecord>& ticks);

struct Release {
  bool ignored = false;   // the wheel was open: the plugin did not look at the timer
  bool measured = false;  // the plugin read the timer for it
  int32_t elapsed = 0;    // at its first read, from the press time
  tap_rule::PressLength length = tap_rule::PressLength::tooShort;
};

// What the plugin made of a press's release; the press must have one.
Release releaseOf(const std::vector<TickRecord>& ticks, const Press& press,
                  const ToggleSettings& settings);

}  // namespace cli
