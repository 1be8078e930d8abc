// The legend under the timeline picture: what each colour and mark means, and where the
// settings come from.
#pragma once

#include "cli/check/settings_check.h"
#include "cli/run/svg_writer.h"

namespace cli {

// Draws from `top` down; returns where the picture ends.
double drawLegend(SvgWriter& svg, const PluginSettings& settings, double top);

}  // namespace cli
