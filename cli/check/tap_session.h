// The checker measuring the player's own taps and holds of the aim button: it asks for a few of
// each, shows each press as a bar against the tap window as it arrives, and hands the lengths to
// the tap advice.
#pragma once

#include <cstdio>
#include <optional>
#include <vector>

#include "cli/check/machine.h"

namespace cli {

struct MeasuredPresses {
  std::vector<int> taps;   // in milliseconds, at least one
  std::vector<int> holds;  // may be empty: the player skipped them
};

// nullopt when the machine cannot read presses, or the player skipped before the first tap.
std::optional<MeasuredPresses> measurePresses(Machine& machine, const ToggleSettings& settings,
                                              std::FILE* out);

}  // namespace cli
