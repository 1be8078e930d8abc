#include "cli/run/svg_timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/display_text.h"

namespace cli {
namespace {

constexpr double kLeft = 170;  // row labels
constexpr double kRight = 24;
constexpr double kTop = 56;         // title and subtitle
constexpr double kLabelSpace = 14;  // release labels above the aim row
constexpr double kRowHeight = 20;
constexpr double kRowGap = 10;
constexpr double kPlotWidth = 1200;  // what a run is scaled to, within the tick widths below
constexpr double kMaxTickWidth = 28;
constexpr double kMinTickWidth = 0.6;
constexpr double kMinWidth = 900;     // room for the legend
constexpr double kLabelSpacing = 64;  // between axis labels: a signed timer value fits
constexpr double kLegendLine = 17;

constexpr char kAimColour[] = "#4a6fa5";
constexpr char kWindowColour[] = "#7fd18b";
constexpr char kLatchColour[] = "#2f6fd0";
constexpr char kAimOnColour[] = "#2e9e4f";
constexpr char kAimOffColour[] = "#b4b4b4";
constexpr char kSprintColour[] = "#e08a1e";
constexpr char kUnarmedColour[] = "#8a4fbf";
constexpr char kCameraColour[] = "#138a8a";
constexpr char kWheelColour[] = "#c9a227";
constexpr char kErrorColour[] = "#d62728";

// Fixed-point by hand, so that every platform writes the same bytes.
std::string num(double value) {
  const long long tenths = std::llround(value * 10);
  const long long whole = std::llabs(tenths) / 10;
  const long long tenth = std::llabs(tenths) % 10;
  return (tenths < 0 ? "-" : "") + std::to_string(whole) +
         (tenth != 0 ? "." + std::to_string(tenth) : "");
}

std::string xml(std::string_view text) {
  std::string escaped;
  for (const char c : displayText(text, 300)) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string tickRange(const std::vector<TimelineTick>& ticks, size_t first, size_t last) {
  if (first == last) return "tick " + std::to_string(ticks[first].tick);
  return "ticks " + std::to_string(ticks[first].tick) + "\u2013" + std::to_string(ticks[last].tick);
}

// Calls draw(first, last, state) for each run of equal nonzero states.
template <typename State, typename Draw>
void eachRun(size_t count, State state, Draw draw) {
  for (size_t i = 0; i < count;) {
    const int s = state(i);
    size_t j = i;
    while (j + 1 < count && state(j + 1) == s) ++j;
    if (s != 0) draw(i, j, s);
    i = j + 1;
  }
}

struct Press {
  size_t down = SIZE_MAX;  // SIZE_MAX: pressed before the first tick drawn
  size_t up = SIZE_MAX;    // SIZE_MAX: still held at the last tick drawn
  size_t windowEnd = 0;    // the last tick its tap window is drawn to: before the next press
};

std::vector<Press> pressesOf(const std::vector<TimelineTick>& ticks) {
  std::vector<Press> presses;
  bool open = false;
  size_t lastDown = SIZE_MAX;
  for (size_t i = 0; i < ticks.size(); ++i) {
    if (ticks[i].controls.aimDown) {
      if (lastDown != SIZE_MAX) presses[lastDown].windowEnd = i - 1;
      lastDown = presses.size();
      presses.push_back({i, SIZE_MAX, ticks.size() - 1});
      open = true;
    }
    if (ticks[i].controls.aimUp) {
      if (!open) presses.push_back({SIZE_MAX, i, i});
      presses.back().up = i;
      open = false;
    }
  }
  return presses;
}

class Picture {
 public:
  explicit Picture(const Timeline& timeline)
      : t_(timeline),
        ticks_(timeline.ticks),
        tickWidth_(std::clamp(kPlotWidth / static_cast<double>(std::max<size_t>(ticks_.size(), 1)),
                              kMinTickWidth, kMaxTickWidth)) {}

  std::string draw() {
    rows_ = {"aim control",       "aim latch",   "forced aim sent", "sprint",
             "unarmed (as seen)", "next camera", "weapon wheel"};
    const bool errors = std::any_of(ticks_.begin(), ticks_.end(),
                                    [](const TimelineTick& t) { return t.protocolErrors > 0; });
    if (errors) rows_.push_back("protocol errors");
    for (size_t row = 0; row < rows_.size(); ++row) {
      text(kLeft - 8, rowTop(row) + 14, rows_[row], "text-anchor=\"end\"");
      rect(kLeft, rowTop(row), plotWidth(), kRowHeight, "#f4f4f4", "");
    }
    axis();
    aimRow();
    stateRow(1, kLatchColour, "aim latch on", [&](size_t i) { return ticks_[i].latch ? 1 : 0; });
    forcedAimRow();
    stateRow(3, kSprintColour, "sprint held",
             [&](size_t i) { return ticks_[i].controls.sprint ? 1 : 0; });
    weaponRow();
    stateRow(5, kCameraColour, "next camera pressed",
             [&](size_t i) { return ticks_[i].controls.nextCamera ? 1 : 0; });
    stateRow(6, kWheelColour, "weapon wheel open",
             [&](size_t i) { return ticks_[i].controls.wheel ? 1 : 0; });
    if (errors) {
      stateRow(7, kErrorColour, "protocol error",
               [&](size_t i) { return ticks_[i].protocolErrors > 0 ? 1 : 0; });
    }
    const double end = legend(axisTop() + 48);
    const double width = std::max(kLeft + plotWidth() + kRight, kMinWidth);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           num(width) + "\" height=\"" + num(end) + "\" viewBox=\"0 0 " + num(width) + " " +
           num(end) +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n"
           "<defs><pattern id=\"failed\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
           "patternTransform=\"rotate(45)\"><rect width=\"2\" height=\"6\" fill=\"#222222\" "
           "fill-opacity=\"0.6\"/></pattern></defs>\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" +
           title() + body_ + "</svg>\n";
  }

 private:
  double x(size_t i) const { return kLeft + static_cast<double>(i) * tickWidth_; }
  double centre(size_t i) const { return x(i) + tickWidth_ / 2; }
  double plotWidth() const { return static_cast<double>(ticks_.size()) * tickWidth_; }
  double rowTop(size_t row) const {
    return kTop + kLabelSpace + static_cast<double>(row) * (kRowHeight + kRowGap);
  }
  double axisTop() const { return rowTop(rows_.size()) - kRowGap + 4; }

  void rect(double left, double top, double width, double height, std::string_view fill,
            const std::string& tip, const std::string& extra = "") {
    body_ += "<rect x=\"" + num(left) + "\" y=\"" + num(top) + "\" width=\"" + num(width) +
             "\" height=\"" + num(height) + "\" fill=\"" + std::string(fill) + "\"" +
             (extra.empty() ? "" : " " + extra);
    body_ += tip.empty() ? "/>\n" : "><title>" + xml(tip) + "</title></rect>\n";
  }
  void text(double left, double baseline, const std::string& words, const std::string& extra = "") {
    body_ += "<text x=\"" + num(left) + "\" y=\"" + num(baseline) + "\"" +
             (extra.empty() ? "" : " " + extra) + ">" + xml(words) + "</text>\n";
  }

  std::string title() const {
    const PluginSettings& s = t_.settings;
    std::string subtitle = std::to_string(t_.totalTicks) + " ticks \u00b7 ShortPress " +
                           std::to_string(s.shortPress) + ", LongPress " +
                           std::to_string(s.longPress) + " \u00b7 " +
                           (s.holdMode() ? "hold mode" : "forced mode");
    if (ticks_.size() < t_.totalTicks) {
      subtitle += " \u00b7 only ticks " + std::to_string(ticks_.front().tick) + "\u2013" +
                  std::to_string(ticks_.back().tick) + " are drawn";
    }
    std::string out = "<text x=\"12\" y=\"24\" font-size=\"16\" font-weight=\"bold\">" +
                      xml("kestova-sim: " + t_.name) + "</text>\n<text x=\"12\" y=\"44\">" +
                      xml(subtitle) + "</text>\n";
    if (!t_.stopped.empty()) {
      out += "<text x=\"12\" y=\"" + num(kTop + 2) + "\" fill=\"" + kErrorColour + "\">" +
             xml("run stopped: " + t_.stopped) + "</text>\n";
    }
    return out;
  }

  void axis() {
    const double top = axisTop();
    // Left of where the first tick's labels can reach, which are centred on it.
    text(kLeft - 40, top + 12, "tick", "text-anchor=\"end\" font-size=\"10\"");
    text(kLeft - 40, top + 26, "timer", "text-anchor=\"end\" font-size=\"10\"");
    uint64_t step = 1;
    for (uint64_t scale = 1; static_cast<double>(step) * tickWidth_ < kLabelSpacing; scale *= 10) {
      for (const uint64_t factor : {uint64_t{1}, uint64_t{2}, uint64_t{5}}) {
        step = factor * scale;
        if (static_cast<double>(step) * tickWidth_ >= kLabelSpacing) break;
      }
    }
    double lastLabel = -kLabelSpacing;
    for (size_t i = 0; i < ticks_.size(); ++i) {
      // The first tick is labelled too, where it does not crowd the next label.
      if (ticks_[i].tick % step != 0 && i != 0) continue;
      if (centre(i) - lastLabel < kLabelSpacing) continue;
      lastLabel = centre(i);
      const double middle = centre(i);
      body_ += "<line x1=\"" + num(middle) + "\" y1=\"" + num(rowTop(0) - 2) + "\" x2=\"" +
               num(middle) + "\" y2=\"" + num(top + 2) + "\" stroke=\"#dddddd\"/>\n";
      text(middle, top + 12, std::to_string(ticks_[i].tick),
           "text-anchor=\"middle\" font-size=\"10\"");
      text(middle, top + 26, std::to_string(static_cast<int32_t>(ticks_[i].timer)),
           "text-anchor=\"middle\" font-size=\"10\" fill=\"#555555\"");
    }
  }

  template <typename State>
  void stateRow(size_t row, std::string_view colour, const std::string& what, State state) {
    eachRun(ticks_.size(), state, [&](size_t first, size_t last, int) {
      rect(x(first), rowTop(row), x(last + 1) - x(first), kRowHeight, colour,
           what + ", " + tickRange(ticks_, first, last));
    });
  }

  void forcedAimRow() {
    eachRun(
        ticks_.size(),
        [&](size_t i) { return !ticks_[i].forcedAim   ? 0
                               : *ticks_[i].forcedAim ? 2
                                                      : 1; },
        [&](size_t first, size_t last, int state) {
          rect(x(first), rowTop(2), x(last + 1) - x(first), kRowHeight,
               state == 2 ? kAimOnColour : kAimOffColour,
               std::string("forced aim ") + (state == 2 ? "on" : "off") + " sent, " +
                   tickRange(ticks_, first, last));
        });
  }

  // Unarmed as the plugin last saw it: a failed query leaves what it saw before.
  void weaponRow() {
    std::vector<int> unarmed(ticks_.size());
    bool seen = false;
    bool asked = false;
    for (size_t i = 0; i < ticks_.size(); ++i) {
      if (ticks_[i].weapon == WeaponSeen::armed || ticks_[i].weapon == WeaponSeen::unarmed) {
        seen = ticks_[i].weapon == WeaponSeen::unarmed;
      }
      asked = asked || ticks_[i].weapon != WeaponSeen::notAsked;
      unarmed[i] = seen ? 1 : 0;
    }
    if (!asked) {
      text(kLeft + 6, rowTop(4) + 14, "no weapon query made (hold mode makes none)",
           "fill=\"#777777\" font-size=\"11\"");
      return;
    }
    stateRow(4, kUnarmedColour, "unarmed, as the weapon query saw it",
             [&](size_t i) { return unarmed[i]; });
    stateRow(4, "url(#failed)", "weapon query failed: the plugin keeps what it saw before",
             [&](size_t i) { return ticks_[i].weapon == WeaponSeen::failed ? 1 : 0; });
  }

  void aimRow() {
    const PluginSettings& s = t_.settings;
    const double top = rowTop(0);
    double labelsEnd = 0;    // where the last release label ends, so that labels never overlap
    uint32_t pressTime = 0;  // the plugin's: 0 at the start, then that of each press it takes
    for (const Press& press : pressesOf(ticks_)) {
      const bool pressed = press.down != SIZE_MAX;
      // The plugin takes a press only with the wheel closed, and times it with its first read.
      const bool taken =
          pressed && !ticks_[press.down].controls.wheel && ticks_[press.down].timerSeenCount > 0;
      if (taken) {
        pressTime = ticks_[press.down].timerSeen[0];
        eachRun(
            press.windowEnd + 1,
            [&](size_t i) {
              if (i < press.down) return 0;
              const auto elapsed = static_cast<int32_t>(ticks_[i].timer - pressTime);
              return elapsed >= s.shortPress && elapsed < s.longPress ? 1 : 0;
            },
            [&](size_t first, size_t last, int) {
              rect(x(first), top, x(last + 1) - x(first), kRowHeight, kWindowColour,
                   "tap window of the press on tick " + std::to_string(ticks_[press.down].tick) +
                       ": a release here is a tap, " + tickRange(ticks_, first, last),
                   "fill-opacity=\"0.55\"");
            });
      }
      const size_t first = pressed ? press.down : 0;
      const size_t last = press.up != SIZE_MAX ? press.up : press.windowEnd;
      if (pressed) {
        rect(x(first), top + 5, x(last + 1) - x(first), kRowHeight - 10, kAimColour,
             "aim control held, " + tickRange(ticks_, first, last) +
                 (taken ? "" : " (press ignored: the weapon wheel is open)"),
             taken ? "" : "fill-opacity=\"0.4\"");
      }
      if (press.up != SIZE_MAX) release(press, taken, pressTime, labelsEnd);
    }
  }

  // The release mark, labelled with the press length the plugin measured and what it made of it.
  void release(const Press& press, bool taken, uint32_t pressTime, double& labelsEnd) {
    const PluginSettings& s = t_.settings;
    const TimelineTick& tick = ticks_[press.up];
    // With the press in the same tick, the press took the tick's first timer read.
    const size_t read = press.down == press.up && taken ? 1 : 0;
    std::string label = "release";
    std::string tip = "release on tick " + std::to_string(tick.tick);
    std::string colour = "#222222";
    if (tick.controls.wheel) {
      label = "ignored";
      tip += ": ignored, the weapon wheel is open";
    } else if (tick.timerSeenCount > read) {
      const auto elapsed = static_cast<int32_t>(tick.timerSeen[read] - pressTime);
      // The far end of the window is checked with a second read, when there is one.
      const auto second = tick.timerSeenCount > read + 1
                              ? static_cast<int32_t>(tick.timerSeen[read + 1] - pressTime)
                              : elapsed;
      const bool tap = elapsed >= s.shortPress && second < s.longPress;
      const std::string verdict = tap ? "tap" : elapsed < s.shortPress ? "short" : "long";
      label = std::to_string(elapsed) + " " + verdict;
      if (!taken) tip += ", timed from the plugin's earlier press time (this press was ignored)";
      tip += " after " + std::to_string(elapsed) + " timer units; the tap window is [" +
             std::to_string(s.shortPress) + ", " + std::to_string(s.longPress) + "): " +
             (tap                      ? "a tap"
              : elapsed < s.shortPress ? "too short"
                                       : "too long");
      if (tap) colour = kAimOnColour;
    }
    const double middle = centre(press.up);
    body_ += "<line x1=\"" + num(middle) + "\" y1=\"" + num(rowTop(0) - 2) + "\" x2=\"" +
             num(middle) + "\" y2=\"" + num(rowTop(0) + kRowHeight + 2) + "\" stroke=\"" + colour +
             "\" stroke-width=\"2\"><title>" + xml(tip) + "</title></line>\n";
    const double half = 3.0 * static_cast<double>(label.size());
    if (middle - half < labelsEnd + 4) return;
    labelsEnd = middle + half;
    text(middle, rowTop(0) - 4, label,
         "text-anchor=\"middle\" font-size=\"10\" fill=\"" + colour + "\"");
  }

  // Returns where the picture ends.
  double legend(double top) {
    struct Entry {
      std::string colour;
      std::string words;
      std::string extra;
    };
    const PluginSettings& s = t_.settings;
    const std::vector<Entry> entries = {
        {kAimColour, "aim control held, from aim-down to aim-up (the scenario's input)", ""},
        {kWindowColour,
         "tap window: a release on these ticks is a tap, [ShortPress, LongPress) = [" +
             std::to_string(s.shortPress) + ", " + std::to_string(s.longPress) +
             ") timer units after the press",
         "fill-opacity=\"0.55\""},
        {"#222222", "release, with the press length the plugin measured: tap, short or long",
         "line"},
        {kLatchColour, "aim latch on: the per-tick hold call made, no camera cancel after it", ""},
        {kAimOnColour, "forced aim on sent (blank: nothing sent)", ""},
        {kAimOffColour, "forced aim off sent", ""},
        {kSprintColour, "sprint held", ""},
        {kUnarmedColour,
         "unarmed: WEAPON_UNARMED, as the plugin's weapon query last saw it (it acts a tick later)",
         ""},
        {"url(#failed)", "weapon query failed: the plugin keeps what it saw before", ""},
        {kCameraColour, "next camera pressed: cancels the latch", ""},
        {kWheelColour, "weapon wheel open: aim and camera input ignored", ""},
    };
    double y = top;
    for (const Entry& entry : entries) {
      if (entry.extra == "line") {
        body_ += "<line x1=\"23\" y1=\"" + num(y - 12) + "\" x2=\"23\" y2=\"" + num(y + 3) +
                 "\" stroke=\"" + entry.colour + "\" stroke-width=\"2\"/>\n";
      } else {
        rect(12, y - 10, 22, 12, entry.colour, "", entry.extra);
      }
      text(42, y, entry.words);
      y += kLegendLine;
    }
    y += 6;
    text(12, y,
         "ShortPress, LongPress and HoldADS are read from the scenario's Kestova.ini with the "
         "profile reader's rules;",
         "font-size=\"11\" fill=\"#555555\"");
    text(12, y + 14,
         "the plugin's own read makes no host call, so the trace cannot show it. Timer: the "
         "tick's first timer value.",
         "font-size=\"11\" fill=\"#555555\"");
    return y + 26;
  }

  const Timeline& t_;
  const std::vector<TimelineTick>& ticks_;
  double tickWidth_;
  std::vector<std::string> rows_;
  std::string body_;
};

}  // namespace

std::string drawTimeline(const Timeline& timeline) {
  return Picture(timeline).draw();
}

}  // namespace cli
