// The legend under the timeline picture: what each colour and mark means, and where the
// settings come from.
#pragma once

#include "cli/run/svg_writer.h"
#include "toggle/settings_file.h"

namespace cli {

// Draws from `top` down; returns where the picture ends.
double drawLegend(SvgWriter& svg, const ToggleSettings& settings, double top);

}  // namespace cli
