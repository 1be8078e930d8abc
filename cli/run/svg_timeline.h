// The picture of a run as SVG: one row per control and per thing the plugin sent, against tick
// and timer, with the tap window marked at each press and release.
#pragma once

#include <string>

#include "cli/run/timeline.h"

namespace cli {

std::string drawTimeline(const Timeline& timeline);

}  // namespace cli
