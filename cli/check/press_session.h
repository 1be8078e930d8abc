// The player's own taps and holds of the aim button, measured one press at a time, so that no
// stray press can pass for a tap: the first button down opens a press and only its release
// closes it; a press cut off by lost input is dropped and said; a "tap" of a second or more is
// shown and asked for again; Enter and Esc skip a step and are never measured.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/check/tap_advice.h"

namespace cli {

class Machine;  // machine.h

inline constexpr size_t kTapsAsked = 5;
inline constexpr size_t kHoldsAsked = 3;

// Asks for the taps, then the holds, each press said as it comes, and draws them all against the
// tap window at the end. nullopt when the machine cannot read presses or the taps were skipped,
// which is said too. onWine: the prompt says what to press where a right-click opens the
// console's own menu.
std::optional<Presses> measurePresses(Machine& machine, const ToggleSettings& settings, bool onWine,
                                      std::FILE* out);

// The presses as bars on one scale, to the longest of them, under a row that marks the tap
// window on the same scale; barColumns wide.
std::vector<std::string> pressChart(const Presses& presses, const ToggleSettings& settings,
                                    size_t barColumns);

}  // namespace cli
