// "Does my tap count?": what the settings make of a player's own presses, measured in
// milliseconds, and a ShortPress and LongPress that would count every tap and no hold. A pure
// function of the lengths and the settings, for kestova-sim check --taps and the checker's
// measuring alike.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "toggle/settings_file.h"

namespace cli {

// The game sees a press in whole frames: its length reads as a whole number of frames, up to a
// frame longer or shorter than the press itself. Frames per second, fastest first.
inline constexpr int kFrameRates[] = {60, 30};

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
  std::vector<int> taps;   // at least one
  std::vector<int> holds;  // may be empty: the player skipped them, or gave none
};

struct TapAdvice {
  // What the advice is about: the presses, and the settings in force.
  Presses presses;
  ToggleSettings settings = settings_file::kDefaults;
  TapCount taps;                  // of the taps, with the settings in force
  std::optional<TapCount> holds;  // of the holds, which should count none
  ToggleSettings suggested = settings_file::kDefaults;
  TapCount tapsSuggested;  // of the taps, with the suggestion
  std::optional<TapCount> holdsSuggested;
  // Taps and holds closer than a frame at 30 frames per second, or overlapping: the suggestion
  // then keeps every hold out, and says so.
  bool tooClose = false;
  // Some tap fails to count, at some frame rate, or some hold counts: the settings in force
  // are worth changing, if the suggestion differs from them.
  bool changeNeeded = false;
  bool suggestionHelps = false;
};

TapAdvice adviseTaps(const Presses& presses, const ToggleSettings& settings);

// The advice as lines for a player, the suggestion in the settings file's own syntax.
std::vector<std::string> adviceText(const TapAdvice& advice);

}  // namespace cli
