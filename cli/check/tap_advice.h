// "Does my tap count?": what the settings make of a player's own presses, measured in
// milliseconds, and a ShortPress and LongPress that count every tap and no hold, changed only as
// far as a measured press needs. A pure function of the lengths and the settings, for
// kestova-sim check --taps and the checker's measuring alike.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/check/frames.h"
#include "toggle/settings_file.h"

namespace cli {

// A "tap" this long or longer is a hold, whatever the settings: a key held while the window lost
// its focus, or a slip. It is never counted as a tap, nor let stretch LongPress to seconds.
inline constexpr int kHoldFromMs = 1000;

// The shortest and the longest the game reads a press of lengthMs in at a frame rate, when a
// frame sees it; both 0 when none can.
struct SeenRange {
  int64_t shortest = 0;
  int64_t longest = 0;
};
SeenRange seenRange(int lengthMs, int rate);

// How many of some presses count as taps.
struct TapCount {
  size_t plain = 0;  // by their lengths as measured
  // At each of kFrameRates: every time, and only at some moments of a frame.
  size_t always[std::size(kFrameRates)] = {};
  size_t sometimes[std::size(kFrameRates)] = {};
};

TapCount countTaps(const std::vector<int>& lengths, const ToggleSettings& settings);

// A player's presses of the aim button, in milliseconds, 0 or more.
struct Presses {
  std::vector<int> taps;   // meant as taps; those of kHoldFromMs or more are left out
  std::vector<int> holds;  // may be empty: the player skipped them, or gave none
};

struct TapAdvice {
  // What the advice is about: the presses, and the settings in force.
  Presses presses;           // the taps shorter than kHoldFromMs
  std::vector<int> notTaps;  // "taps" of kHoldFromMs or more, left out
  ToggleSettings settings = settings_file::kDefaults;
  TapCount taps;                  // of the taps, with the settings in force
  std::optional<TapCount> holds;  // of the holds, which should count none
  ToggleSettings suggested = settings_file::kDefaults;
  TapCount tapsSuggested;  // of the taps, with the suggestion
  std::optional<TapCount> holdsSuggested;
  // Taps and holds closer than a frame at 30 frames per second, or overlapping: the suggestion
  // then keeps every hold out, and says so.
  bool tooClose = false;
  // Holds so close to the taps that no window counts a tap and keeps them all out.
  bool noWindow = false;
  // Some tap fails to count, at some frame rate, or some hold counts: the settings in force
  // are worth changing, if the suggestion differs from them.
  bool changeNeeded = false;
  bool suggestionHelps = false;  // it counts more taps, or keeps out a hold: so changeNeeded
};

// With no tap shorter than kHoldFromMs there is nothing to go by: the advice says so.
TapAdvice adviseTaps(const Presses& presses, const ToggleSettings& settings);

// The advice as lines, the suggestion in the settings file's own syntax. frameDetail: how many
// presses count at each frame rate, for a mod developer; a player gets one plain sentence.
std::vector<std::string> adviceText(const TapAdvice& advice, bool frameDetail);

}  // namespace cli
