#include "cli/check/tap_advice.h"

#include <algorithm>
#include <numeric>

#include "common/display_text.h"
#include "common/settings_values.h"
#include "toggle/tap_rule.h"

namespace cli {
namespace {

// Calls read(ms) with each length the game may read a press of lengthMs in at a frame rate, or
// with nullopt where no frame sees the press at all. The game sees the press go down at the first
// frame at or after it does, and up likewise, and takes the time between from its millisecond
// timer, which reads frame k as k * 1000 / rate rounded down. Starts repeat what the frames and
// the milliseconds do together every 1000 / gcd(1000, rate) ms, so each start within that is
// tried.
template <typename Reader>
void forEachReading(int lengthMs, int rate, Reader&& read) {
  const auto frameAt = [rate](int64_t ms) { return (ms * rate + 999) / 1000; };
  const auto timerAt = [rate](int64_t frame) { return frame * 1000 / rate; };
  const int64_t period = 1000 / std::gcd(1000, rate);
  for (int64_t start = 0; start < period; ++start) {
    const int64_t down = frameAt(start);
    const int64_t up = frameAt(start + lengthMs);
    read(up > down ? std::optional(timerAt(up) - timerAt(down)) : std::nullopt);
  }
}

// Lengths here are below a minute and some frames: well within 32 bits.
bool isTap(int64_t length, const ToggleSettings& settings) {
  return tap_rule::isTap(static_cast<int32_t>(length), settings);
}

// To ten milliseconds, numbers a player reads at a glance; lengths are never negative.
int64_t roundDown(int64_t value) {
  return value / 10 * 10;
}

// Halfway from low to high, in round numbers where that stays between them; high when they cross.
int64_t between(int64_t low, int64_t high) {
  if (low > high) return high;
  const int64_t middle = roundDown((low + high) / 2 + 5);
  return middle >= low && middle <= high ? middle : (low + high) / 2;
}

std::string millisecondsText(const std::vector<int>& lengths) {
  std::string text;
  for (size_t i = 0; i < lengths.size(); ++i) {
    text += i == 0 ? "" : i + 1 == lengths.size() ? " and " : ", ";
    text += std::to_string(lengths[i]);
  }
  return text + " ms";
}

// "all 3 of your taps count", "1 of your 3 holds counts", "your tap does not count".
std::string ofYour(size_t count, size_t total, const std::string& noun) {
  if (total == 1) return "your " + noun + (count == 1 ? " counts" : " does not count");
  const std::string yours = "of your " + common::counted(total, noun);
  if (count == 0) return "none " + yours + " counts";
  if (count == total) {
    return (total == 2 ? "both" : "all " + std::to_string(total)) + " of your " + noun + "s count";
  }
  return std::to_string(count) + " " + yours + (count == 1 ? " counts" : " count");
}

// For a mod developer: "at 60 fps 1 counts every time and 1 only sometimes; at 30 fps none".
std::string framesText(const TapCount& count) {
  std::string text = "by whole frames, ";
  for (size_t r = 0; r < std::size(kFrameRates); ++r) {
    const size_t always = count.always[r];
    const size_t sometimes = count.sometimes[r];
    const auto counts = [](size_t n) {
      return std::to_string(n) + (n == 1 ? " counts" : " count");
    };
    text += (r == 0 ? "at " : "; at ") + std::to_string(kFrameRates[r]) + " fps ";
    if (always + sometimes == 0) {
      text += "none counts";
    } else if (sometimes == 0 || always == 0) {
      text += counts(always + sometimes) + (sometimes == 0 ? " every time" : " only sometimes");
    } else {
      text += counts(always) + " every time and " + std::to_string(sometimes) + " only sometimes";
    }
  }
  return text;
}

bool allAlways(const TapCount& count, size_t of) {
  return count.plain == of && std::all_of(std::begin(count.always), std::end(count.always),
                                          [of](size_t always) { return always == of; });
}

bool noneAtAll(const TapCount& count) {
  for (size_t r = 0; r < std::size(kFrameRates); ++r) {
    if (count.always[r] + count.sometimes[r] > 0) return false;
  }
  return count.plain == 0;
}

// The window: each bound moved only as far as a measured press needs. ShortPress goes down to
// count the shortest tap, up to keep out holds shorter than the taps; LongPress goes up to count
// the longest tap, down to keep out the other holds. Round numbers, halfway where holds bound
// that side, for as wide a margin as both allow; where they are too close, the holds win.
void suggestWindow(TapAdvice& advice) {
  int64_t tapsFrom = INT64_MAX;
  int64_t tapsTo = 0;
  int64_t holdsBelowTo = -1;
  int64_t holdsAboveFrom = INT64_MAX;
  const std::vector<int>& taps = advice.presses.taps;
  const int shortestTap = *std::min_element(taps.begin(), taps.end());
  for (const int rate : kFrameRates) {
    for (const int tap : taps) {
      const SeenRange seen = seenRange(tap, rate);
      tapsFrom = std::min(tapsFrom, seen.shortest);
      tapsTo = std::max(tapsTo, seen.longest);
    }
    for (const int hold : advice.presses.holds) {
      const SeenRange seen = seenRange(hold, rate);
      if (hold < shortestTap) {
        holdsBelowTo = std::max(holdsBelowTo, seen.longest);
      } else {
        holdsAboveFrom = std::min(holdsAboveFrom, seen.shortest);
      }
    }
  }
  advice.tooClose = holdsBelowTo >= tapsFrom || tapsTo >= holdsAboveFrom;
  int64_t shortPress = advice.settings.shortPress;
  if (shortPress > tapsFrom) shortPress = std::max<int64_t>(1, roundDown(tapsFrom));
  if (holdsBelowTo >= 0 && shortPress <= holdsBelowTo) {
    shortPress = std::max(between(holdsBelowTo + 1, tapsFrom), holdsBelowTo + 1);
  }
  int64_t longPress = advice.settings.longPress;
  if (longPress <= tapsTo || longPress > holdsAboveFrom) {
    longPress =
        holdsAboveFrom == INT64_MAX ? roundDown(tapsTo + 10) : between(tapsTo + 1, holdsAboveFrom);
  }
  advice.suggested = {
      static_cast<int32_t>(shortPress),
      static_cast<int32_t>(std::clamp<int64_t>(longPress, shortPress + 1, INT32_MAX)),
      advice.settings.holdMode};
}

// Without holds nothing measured keeps normal aiming out, and the player is told so.
std::string withoutHolds(const TapAdvice& advice, int32_t longPress) {
  if (advice.holds) return "";
  return "; no holds were measured, so any press shorter than " + std::to_string(longPress) +
         " ms toggles aim, a normal aim too";
}

std::vector<std::string> suggestionText(const TapAdvice& advice, bool frameDetail,
                                        std::vector<std::string> lines) {
  if (!advice.changeNeeded) {
    lines.push_back("suggestion: your taps count as they are, every time; no change is needed" +
                    withoutHolds(advice, advice.settings.longPress) + ".");
    return lines;
  }
  if (advice.noWindow) {
    lines.push_back(
        "suggestion: none: your holds are so close to your taps that no window counts your taps "
        "and keeps every hold out: tap quicker, or hold longer.");
    return lines;
  }
  if (advice.tooClose) {
    lines.push_back(
        "suggestion: your taps and holds are closer than a frame, or overlap, so no window counts "
        "every tap and keeps every hold out; the one below keeps the holds out first, and some "
        "taps may not count: tap quicker, or hold longer.");
  }
  if (!advice.suggestionHelps) {
    lines.push_back("suggestion: the settings you have are the best these presses allow.");
    return lines;
  }
  const size_t taps = advice.presses.taps.size();
  const bool everyTap = allAlways(advice.tapsSuggested, taps);
  std::string set = "suggestion: set these lines in [Settings]";
  if (everyTap) {
    set += " to count every tap with a frame's margin at " + std::to_string(kSlowestFrameRate) +
           " fps";
    if (advice.holds && !advice.tooClose) set += " and keep every hold out";
  }
  lines.push_back(set + ":");
  lines.push_back(common::settingLine(settings_file::kShortPress, advice.suggested.shortPress));
  lines.push_back(common::settingLine(settings_file::kLongPress, advice.suggested.longPress));
  std::string with =
      "suggestion: with them " + ofYour(advice.tapsSuggested.plain, taps, "tap") + " by length";
  if (frameDetail) {
    with += "; " + framesText(advice.tapsSuggested);
  } else if (everyTap) {
    with += ", every time, even at " + std::to_string(kSlowestFrameRate) + " fps";
  }
  if (advice.holds) with += "; no hold counts";
  lines.push_back(with + withoutHolds(advice, advice.suggested.longPress) + ".");
  return lines;
}

}  // namespace

SeenRange seenRange(int lengthMs, int rate) {
  SeenRange range{INT64_MAX, 0};
  forEachReading(lengthMs, rate, [&range](std::optional<int64_t> read) {
    range.shortest = std::min(range.shortest, read.value_or(INT64_MAX));
    range.longest = std::max(range.longest, read.value_or(0));
  });
  return {std::min(range.shortest, range.longest), range.longest};
}

TapCount countTaps(const std::vector<int>& lengths, const ToggleSettings& settings) {
  TapCount count;
  for (const int length : lengths) {
    if (isTap(length, settings)) ++count.plain;
    for (size_t r = 0; r < std::size(kFrameRates); ++r) {
      bool any = false;
      bool all = true;
      // A press no frame sees is no tap.
      forEachReading(length, kFrameRates[r], [&](std::optional<int64_t> read) {
        const bool tap = read && isTap(*read, settings);
        any = any || tap;
        all = all && tap;
      });
      if (all) ++count.always[r];
      if (any && !all) ++count.sometimes[r];
    }
  }
  return count;
}

TapAdvice adviseTaps(const Presses& presses, const ToggleSettings& settings) {
  TapAdvice advice;
  advice.settings = advice.suggested = settings;
  advice.presses.holds = presses.holds;
  for (const int tap : presses.taps) {
    (tap < kHoldFromMs ? advice.presses.taps : advice.notTaps).push_back(tap);
  }
  const std::vector<int>& taps = advice.presses.taps;
  const std::vector<int>& holds = presses.holds;
  if (taps.empty()) return advice;
  advice.taps = countTaps(taps, settings);
  if (!holds.empty()) advice.holds = countTaps(holds, settings);
  advice.changeNeeded =
      !allAlways(advice.taps, taps.size()) || (advice.holds && !noneAtAll(*advice.holds));
  suggestWindow(advice);
  advice.tapsSuggested = countTaps(taps, advice.suggested);
  if (!holds.empty()) advice.holdsSuggested = countTaps(holds, advice.suggested);
  // Holds so close that a window keeping them out counts no tap, or not even keeps them out: no
  // suggestion then.
  if ((advice.holdsSuggested && !noneAtAll(*advice.holdsSuggested)) ||
      noneAtAll(advice.tapsSuggested)) {
    advice.noWindow = true;
    advice.suggested = settings;
  }
  // Worth offering only if it counts more taps, or more often, or keeps out a hold that counts.
  const auto counted = [](const TapCount& count) {
    return count.plain +
           std::accumulate(std::begin(count.always), std::end(count.always), size_t{0});
  };
  advice.suggestionHelps =
      advice.suggested != settings && (counted(advice.tapsSuggested) > counted(advice.taps) ||
                                       (advice.holds && !noneAtAll(*advice.holds)));
  return advice;
}

std::vector<std::string> adviceText(const TapAdvice& advice, bool frameDetail) {
  const std::vector<int>& taps = advice.presses.taps;
  const ToggleSettings& settings = advice.settings;
  std::vector<std::string> lines;
  if (!advice.notTaps.empty()) {
    const bool one = advice.notTaps.size() == 1;
    lines.push_back("taps: " + millisecondsText(advice.notTaps) +
                    (one ? " was a hold" : " were holds") + ", not " + (one ? "a tap" : "taps") +
                    " (" + std::to_string(kHoldFromMs) + " ms or more), so " +
                    (one ? "it is" : "they are") + " left out.");
  }
  if (taps.empty()) {
    lines.push_back("taps: none to go by, so there is no advice.");
    return lines;
  }
  std::vector<int> counting;
  std::vector<int> tooShort;
  std::vector<int> tooLong;
  for (const int tap : taps) {
    (isTap(tap, settings)        ? counting
     : tap < settings.shortPress ? tooShort
                                 : tooLong)
        .push_back(tap);
  }
  std::string first = "taps: " + ofYour(advice.taps.plain, taps.size(), "tap") + " with " +
                      settings_file::kShortPress.name + " " + std::to_string(settings.shortPress) +
                      " and " + settings_file::kLongPress.name + " " +
                      std::to_string(settings.longPress) + ", by their lengths as measured";
  const auto listed = [&first](const std::vector<int>& lengths, const char* one, const char* many) {
    if (!lengths.empty())
      first += "; " + millisecondsText(lengths) + (lengths.size() == 1 ? one : many);
  };
  listed(counting, " counts", " count");
  listed(tooShort, " is too short", " are too short");
  listed(tooLong, " is too long", " are too long");
  lines.push_back(first + ".");
  lines.push_back(
      frameDetail ? "taps: " + framesText(advice.taps) + "."
                  : "taps: the game sees presses in whole frames, so a press can read "
                    "up to " +
                        std::to_string(1000 / kSlowestFrameRate) + " ms longer or shorter at " +
                        std::to_string(kSlowestFrameRate) + " fps; the advice allows for that.");
  if (advice.holds) {
    const TapCount& counted = *advice.holds;
    const size_t holds = advice.presses.holds.size();
    const std::string frames = frameDetail ? " (" + framesText(counted) + ")" : "";
    if (noneAtAll(counted)) {
      lines.push_back("holds: " + ofYour(0, holds, "hold") + " as a tap, as it should be.");
    } else {
      lines.push_back("holds: " +
                      (counted.plain > 0
                           ? ofYour(counted.plain, holds, "hold") + " as a tap by length"
                           : std::string("by whole frames the game may read a hold as a tap")) +
                      frames + ": such a hold toggles aim instead of aiming while held.");
    }
  }
  return suggestionText(advice, frameDetail, std::move(lines));
}

}  // namespace cli
