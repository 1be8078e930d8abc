#include "cli/run/tap_analysis.h"

namespace cli {

std::vector<Press> pressesOf(const std::vector<TickRecord>& ticks) {
  std::vector<Press> presses;
  size_t lastDown = kNoTick;
  uint32_t pressTime = 0;
  for (size_t i = 0; i < ticks.size(); ++i) {
    const TickRecord& tick = ticks[i];
    if (tick.inputs.aimDown) {
      if (lastDown != kNoTick) presses[lastDown].windowEnd = i - 1;
      lastDown = presses.size();
      // A press is timed with the first timer read of its tick.
      const bool taken =
          tap_rule::inputTaken(true, tick.inputs.wheel) && tick.summary.timerSeenCount > 0;
      if (taken) pressTime = tick.summary.timerSeen[0];
      presses.push_back({i, kNoTick, ticks.size() - 1, taken, pressTime});
    }
    if (tick.inputs.aimUp) {
      // A release with no press held: pressed before the first tick drawn, or released twice.
      if (presses.empty() || presses.back().up != kNoTick) {
        presses.push_back({kNoTick, i, i, false, pressTime});
      }
      presses.back().up = i;
    }
  }
  return presses;
}

Release releaseOf(const std::vector<TickRecord>& ticks, const Press& press,
                  const ToggleSettings& settings) {
  const TickRecord& tick = ticks[press.up];
  Release release;
  if (!tap_rule::inputTaken(true, tick.inputs.wheel)) {
    release.ignored = true;
    return release;
  }
  // With the press in the same tick, the press took the tick's first timer read.
  const size_t read = press.down == press.up && press.taken ? 1 : 0;
  if (tick.summary.timerSeenCount <= read) return release;
  release.measured = true;
  release.elapsed = tap_rule::elapsedSince(press.pressTime, tick.summary.timerSeen[read]);
  // The far end of the window is checked with a second read, when there is one.
  const int32_t second =
      tick.summary.timerSeenCount > read + 1
          ? tap_rule::elapsedSince(press.pressTime, tick.summary.timerSeen[read + 1])
          : release.elapsed;
  release.length = tap_rule::pressLength(release.elapsed, second, settings);
  return release;
}

}  // namespace cli
