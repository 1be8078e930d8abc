#include "cli/run/timeline_layout.h"

#include <string>
#include <vector>

#include "common/settings_values.h"

namespace cli {

double drawLegend(SvgWriter& svg, const ToggleSettings& settings, double top) {
  struct Entry {
    std::string colour;
    std::string words;
    std::string extra;
  };
  const std::vector<Entry> entries = {
      {kAimColour, "aim control held, from aim-down to aim-up (the scenario's input)", ""},
      {kWindowColour,
       "tap window: a release on these ticks is a tap, [ShortPress, LongPress) = [" +
           std::to_string(settings.shortPress) + ", " + std::to_string(settings.longPress) +
           ") timer units after the press",
       "fill-opacity=\"0.55\""},
      {kReleaseColour, "release, with the press length the plugin measured: tap, short or long",
       "line"},
      {kLatchColour, "aim latch on: the per-tick hold call made, no camera cancel after it", ""},
      {kAimOnColour, "forced aim on sent (blank: nothing sent)", ""},
      {kAimOffColour, "forced aim off sent", ""},
      {kSprintColour, "sprint held", ""},
      {kUnarmedColour,
       "unarmed: WEAPON_UNARMED, as the plugin's weapon query last saw it (it acts a tick later)",
       ""},
      {kFailedPattern, "weapon query failed: the plugin keeps what it saw before", ""},
      {kCameraColour, "next camera pressed: cancels the latch", ""},
      {kWheelColour, "weapon wheel open: aim and camera input ignored", ""},
  };
  double y = top;
  for (const Entry& entry : entries) {
    if (entry.extra == "line") {
      svg.line(23, y - 12, 23, y + 3, entry.colour, "stroke-width=\"2\"");
    } else {
      svg.rect(12, y - 10, 22, 12, entry.colour, "", entry.extra);
    }
    svg.text(42, y, entry.words);
    y += kLegendLine;
  }
  y += 6;
  svg.text(12, y,
           common::keyNames() +
               " are read from the scenario's Kestova.ini with the profile reader's rules;",
           "font-size=\"11\" fill=\"#555555\"");
  svg.text(12, y + 14,
           "the plugin's own read makes no host call, so the trace cannot show it. Timer: the "
           "tick's first timer value.",
           "font-size=\"11\" fill=\"#555555\"");
  return y + 26;
}

}  // namespace cli
