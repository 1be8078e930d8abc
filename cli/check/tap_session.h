// The checker measuring the player's own taps and holds of the aim button: it asks for a few of
// each, shows each press as a bar against the tap window as it arrives, and hands the lengths to
// the tap advice.
#pragma once

#include <cstdio>
#include <optional>

#include "cli/check/machine.h"
#include "cli/check/tap_advice.h"

namespace cli {

// nullopt when the machine cannot read presses, or the player skipped before the first tap.
std::optional<Presses> measurePresses(Machine& machine, const ToggleSettings& settings,
                                      std::FILE* out);

}  // namespace cli
