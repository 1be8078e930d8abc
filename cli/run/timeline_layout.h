// Where things go in the timeline picture, and in which colours: one column per tick, scaled to
// the run, one row per control and per thing the plugin sent, the axis and the legend below.
#pragma once

#include "cli/run/svg_writer.h"
#include "toggle/settings_file.h"

namespace cli {

inline constexpr double kLeft = 170;  // row labels
inline constexpr double kRight = 24;
inline constexpr double kTop = 56;         // title and subtitle
inline constexpr double kLabelSpace = 14;  // release labels above the aim row
inline constexpr double kRowHeight = 20;
inline constexpr double kRowGap = 10;
inline constexpr double kPlotWidth = 1200;  // what a run is scaled to, within the widths below
inline constexpr double kMaxTickWidth = 28;
inline constexpr double kMinTickWidth = 0.6;
inline constexpr double kMinWidth = 900;     // room for the legend
inline constexpr double kLabelSpacing = 64;  // between axis labels: a signed timer value fits
inline constexpr double kLegendLine = 17;

inline constexpr char kAimColour[] = "#4a6fa5";
inline constexpr char kWindowColour[] = "#7fd18b";
inline constexpr char kLatchColour[] = "#2f6fd0";
inline constexpr char kAimOnColour[] = "#2e9e4f";
inline constexpr char kAimOffColour[] = "#b4b4b4";
inline constexpr char kSprintColour[] = "#e08a1e";
inline constexpr char kUnarmedColour[] = "#8a4fbf";
inline constexpr char kCameraColour[] = "#138a8a";
inline constexpr char kWheelColour[] = "#c9a227";
inline constexpr char kErrorColour[] = "#d62728";
inline constexpr char kReleaseColour[] = "#222222";
inline constexpr char kFailedPattern[] = "url(#failed)";  // defined in the picture's <defs>

// The legend (timeline_legend.cpp): what each colour and mark means, and where the settings
// come from. Draws from `top` down; returns where the picture ends.
double drawLegend(SvgWriter& svg, const ToggleSettings& settings, double top);

}  // namespace cli
