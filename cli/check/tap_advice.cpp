#include "cli/check/tap_advice.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "toggle/tap_rule.h"

namespace cli {
namespace {

// The shortest and the longest the game may read a press, in whole frames at a frame rate:
// frames counted in integers, so that a press of exactly three frames is three frames.
int64_t inMilliseconds(int64_t frames, FrameRate rate) {
  return std::lround(static_cast<double>(frames) * 1000.0 / rate.perSecond);
}
int64_t shortestSeen(int length, FrameRate rate) {
  return inMilliseconds(int64_t{length} * rate.perSecond / 1000, rate);
}
int64_t longestSeen(int length, FrameRate rate) {
  return inMilliseconds((int64_t{length} * rate.perSecond + 999) / 1000, rate);
}

// Lengths here are up to a minute and some frames: well within 32 bits.
bool isTap(int64_t length, const ToggleSettings& settings) {
  return tap_rule::isTap(static_cast<int32_t>(length), settings);
}

// To ten milliseconds, numbers a player reads at a glance; lengths are never negative.
int64_t roundDown(int64_t value) {
  return value / 10 * 10;
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
    text += r == 0 ? "at " + std::to_string(kFrameRates[r].perSecond) + " frames per second "
                   : "; at " + std::to_string(kFrameRates[r].perSecond) + ", ";
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

TapAdvice adviseTaps(const std::vector<int>& taps, const std::vector<int>& holds,
                     const ToggleSettings& settings) {
  TapAdvice advice;
  advice.taps = countTaps(taps, settings);
  if (!holds.empty()) advice.holds = countTaps(holds, settings);

  // A frame's margin at the slowest frame rate either way, in round numbers a player can read.
  int64_t shortestTap = INT64_MAX;
  int64_t longestTap = 0;
  for (const FrameRate rate : kFrameRates) {
    for (const int tap : taps) {
      shortestTap = std::min(shortestTap, shortestSeen(tap, rate));
      longestTap = std::max(longestTap, longestSeen(tap, rate));
    }
  }
  const int64_t shortPress = std::max<int64_t>(1, roundDown(shortestTap));
  // The lowest LongPress the longest tap stays below, and the highest the shortest hold reaches.
  const int64_t tapsBelow = longestTap + 1;
  int64_t longPress = roundDown(tapsBelow + 9);
  if (!holds.empty()) {
    int64_t holdsFrom = INT64_MAX;
    for (const FrameRate rate : kFrameRates) {
      for (const int hold : holds) holdsFrom = std::min(holdsFrom, shortestSeen(hold, rate));
    }
    advice.tooClose = tapsBelow > holdsFrom;
    if (advice.tooClose) {
      longPress = holdsFrom;
    } else {
      // Halfway, for as wide a margin on both sides as the two allow.
      const int64_t middle = roundDown((tapsBelow + holdsFrom) / 2 + 5);
      longPress = middle >= tapsBelow && middle <= holdsFrom ? middle : (tapsBelow + holdsFrom) / 2;
    }
  }
  longPress = std::max(longPress, shortPress + 1);
  advice.suggested = {static_cast<int32_t>(shortPress),
                      static_cast<int32_t>(std::min<int64_t>(longPress, INT32_MAX)),
                      settings.holdMode};
  advice.tapsSuggested = countTaps(taps, advice.suggested);
  if (!holds.empty()) advice.holdsSuggested = countTaps(holds, advice.suggested);
  advice.changeNeeded = !allAlways(advice.taps, taps.size()) || advice.taps.plain != taps.size() ||
                        (advice.holds && !noneAtAll(*advice.holds));
  return advice;
}

std::vector<std::string> adviceText(const TapAdvice& advice, const std::vector<int>& taps,
                                    const std::vector<int>& holds, const ToggleSettings& settings) {
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
                              " holds counts as a tap, as it should."
                        : "holds: " + countOf(advice.holds->plain, holds.size(), "hold") +
                              " count as taps by their lengths (" + framesText(*advice.holds) +
                              "): such a hold toggles aim instead of aiming while held.");
  }
  if (!advice.changeNeeded) {
    lines.push_back("suggestion: your taps count as they are, every time; no change is needed.");
    return lines;
  }
  std::string why = "suggestion: to count every tap, with a frame's margin at 30 frames per second";
  if (advice.holds && !advice.tooClose) why += ", and keep every hold out";
  if (advice.tooClose) {
    why +=
        "; but your taps and holds are closer than a frame, or overlap, so this keeps every "
        "hold out first, and your longest taps may not count: tap quicker, or hold longer";
  }
  lines.push_back(why + ", set these lines in [Settings]:");
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
                : "; and " + std::to_string(advice.holdsSuggested->plain) + " holds count";
  }
  lines.push_back(with + ".");
  return lines;
}

}  // namespace cli
