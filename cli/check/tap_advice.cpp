#include "cli/check/tap_advice.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "toggle/tap_rule.h"

namespace cli {
namespace {

// The shortest and the longest the game may read a press, in whole frames at a frame rate:
// frames counted in integers, so that a press of exactly three frames is three frames.
int64_t inMilliseconds(int64_t frames, int rate) {
  return std::lround(static_cast<double>(frames) * 1000.0 / rate);
}
int64_t shortestSeen(int length, int rate) {
  return inMilliseconds(int64_t{length} * rate / 1000, rate);
}
int64_t longestSeen(int length, int rate) {
  return inMilliseconds((int64_t{length} * rate + 999) / 1000, rate);
}

// Lengths here are up to a minute and some frames: well within 32 bits.
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

std::string countOf(size_t count, size_t of, const char* what) {
  return std::to_string(count) + " of your " + std::to_string(of) + " " + what +
         (of == 1 ? "" : "s");
}

// "at 60 frames per second 1 counts every time and 1 only sometimes; at 30, ..."
std::string framesText(const TapCount& count) {
  std::string text;
  for (size_t r = 0; r < std::size(kFrameRates); ++r) {
    text += r == 0 ? "at " + std::to_string(kFrameRates[r]) + " frames per second "
                   : "; at " + std::to_string(kFrameRates[r]) + ", ";
    if (count.always[r] + count.sometimes[r] == 0) {
      text += "none";
      continue;
    }
    text += std::to_string(count.always[r]) + " every time";
    if (count.sometimes[r] > 0) {
      text += " and " + std::to_string(count.sometimes[r]) + " only sometimes";
    }
  }
  return text;
}

bool allAlways(const TapCount& count, size_t of) {
  return std::all_of(std::begin(count.always), std::end(count.always),
                     [of](size_t always) { return always == of; });
}

bool noneAtAll(const TapCount& count) {
  for (size_t r = 0; r < std::size(kFrameRates); ++r) {
    if (count.always[r] + count.sometimes[r] > 0) return false;
  }
  return count.plain == 0;
}

}  // namespace

TapCount countTaps(const std::vector<int>& lengths, const ToggleSettings& settings) {
  TapCount count;
  for (const int length : lengths) {
    if (isTap(length, settings)) ++count.plain;
    for (size_t r = 0; r < std::size(kFrameRates); ++r) {
      const bool shortest = isTap(shortestSeen(length, kFrameRates[r]), settings);
      const bool longest = isTap(longestSeen(length, kFrameRates[r]), settings);
      if (shortest && longest) ++count.always[r];
      if (shortest != longest) ++count.sometimes[r];
    }
  }
  return count;
}

TapAdvice adviseTaps(const Presses& presses, const ToggleSettings& settings) {
  const std::vector<int>& taps = presses.taps;
  const std::vector<int>& holds = presses.holds;
  TapAdvice advice;
  advice.presses = presses;
  advice.settings = settings;
  advice.taps = countTaps(taps, settings);
  if (!holds.empty()) advice.holds = countTaps(holds, settings);

  // Each press as the game may read it at any of the frame rates: up to a frame either way.
  int64_t tapsFrom = INT64_MAX;
  int64_t tapsTo = 0;
  // Holds below the shortest tap bound ShortPress from below; all others, LongPress from above.
  int64_t holdsBelowTo = -1;
  int64_t holdsAboveFrom = INT64_MAX;
  const int shortestTap = *std::min_element(taps.begin(), taps.end());
  for (const int rate : kFrameRates) {
    for (const int tap : taps) {
      tapsFrom = std::min(tapsFrom, shortestSeen(tap, rate));
      tapsTo = std::max(tapsTo, longestSeen(tap, rate));
    }
    for (const int hold : holds) {
      if (hold < shortestTap) {
        holdsBelowTo = std::max(holdsBelowTo, longestSeen(hold, rate));
      } else {
        holdsAboveFrom = std::min(holdsAboveFrom, shortestSeen(hold, rate));
      }
    }
  }
  advice.tooClose = holdsBelowTo >= tapsFrom || tapsTo >= holdsAboveFrom;
  // Round numbers a player reads at a glance, halfway where holds bound the window on that side,
  // for as wide a margin as both allow; where they are too close, the holds are kept out.
  const int64_t shortPress = holdsBelowTo < 0
                                 ? std::max<int64_t>(1, roundDown(tapsFrom))
                                 : std::max(between(holdsBelowTo + 1, tapsFrom), holdsBelowTo + 1);
  const int64_t longPress =
      holdsAboveFrom == INT64_MAX ? roundDown(tapsTo + 1 + 9) : between(tapsTo + 1, holdsAboveFrom);
  advice.suggested = {
      static_cast<int32_t>(shortPress),
      static_cast<int32_t>(std::clamp<int64_t>(longPress, shortPress + 1, INT32_MAX)),
      settings.holdMode};
  advice.tapsSuggested = countTaps(taps, advice.suggested);
  if (!holds.empty()) advice.holdsSuggested = countTaps(holds, advice.suggested);
  advice.changeNeeded = !allAlways(advice.taps, taps.size()) || advice.taps.plain != taps.size() ||
                        (advice.holds && !noneAtAll(*advice.holds));
  advice.suggestionHelps = advice.suggested.shortPress != settings.shortPress ||
                           advice.suggested.longPress != settings.longPress;
  return advice;
}

std::vector<std::string> adviceText(const TapAdvice& advice) {
  const std::vector<int>& taps = advice.presses.taps;
  const std::vector<int>& holds = advice.presses.holds;
  const ToggleSettings& settings = advice.settings;
  std::vector<std::string> lines;
  std::vector<int> counting;
  std::vector<int> tooShort;
  std::vector<int> tooLong;
  for (const int tap : taps) {
    if (isTap(tap, settings)) {
      counting.push_back(tap);
    } else if (tap < settings.shortPress) {
      tooShort.push_back(tap);
    } else {
      tooLong.push_back(tap);
    }
  }
  std::string first = "taps: " + countOf(advice.taps.plain, taps.size(), "tap") + " count with " +
                      settings_file::kShortPress.name + " " + std::to_string(settings.shortPress) +
                      " and " + settings_file::kLongPress.name + " " +
                      std::to_string(settings.longPress) + ", by their lengths as measured";
  if (!counting.empty()) first += "; " + millisecondsText(counting) + " count";
  if (!tooShort.empty()) first += "; " + millisecondsText(tooShort) + " are too short";
  if (!tooLong.empty()) first += "; " + millisecondsText(tooLong) + " are too long";
  lines.push_back(first + ".");
  lines.push_back(
      "taps: the game sees a press in whole frames, so it reads a press up to a "
      "frame longer or shorter than it was: " +
      framesText(advice.taps) + ".");
  if (advice.holds) {
    lines.push_back(noneAtAll(*advice.holds)
                        ? "holds: none of your " + std::to_string(holds.size()) +
                              (holds.size() == 1 ? " hold counts" : " holds count") +
                              " as a tap, as it should."
                        : "holds: " + countOf(advice.holds->plain, holds.size(), "hold") +
                              " count as taps by their lengths (" + framesText(*advice.holds) +
                              "): such a hold toggles aim instead of aiming while held.");
  }
  if (!advice.changeNeeded) {
    lines.push_back("suggestion: your taps count as they are, every time; no change is needed.");
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
  const bool everyTap =
      allAlways(advice.tapsSuggested, taps.size()) && advice.tapsSuggested.plain == taps.size();
  std::string set = "suggestion: set these lines in [Settings]";
  if (everyTap) {
    set += " to count every tap with a frame's margin at " +
           std::to_string(*std::rbegin(kFrameRates)) + " frames per second";
    if (advice.holds && !advice.tooClose) set += " and keep every hold out";
  }
  lines.push_back(set + ":");
  lines.push_back(std::string(settings_file::kShortPress.name) + "=" +
                  std::to_string(advice.suggested.shortPress));
  lines.push_back(std::string(settings_file::kLongPress.name) + "=" +
                  std::to_string(advice.suggested.longPress));
  std::string with = "suggestion: with them " +
                     countOf(advice.tapsSuggested.plain, taps.size(), "tap") +
                     " count by their lengths; " + framesText(advice.tapsSuggested);
  if (advice.holdsSuggested) {
    with += noneAtAll(*advice.holdsSuggested)
                ? "; and no hold counts"
                : "; of your holds, " + std::to_string(advice.holdsSuggested->plain) +
                      " count by their lengths; " + framesText(*advice.holdsSuggested);
  }
  lines.push_back(with + ".");
  return lines;
}

}  // namespace cli
