#include "cli/run/report.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "cli/run/svg_writer.h"
#include "cli/run/tap_analysis.h"
#include "common/settings_values.h"

namespace cli {
namespace {

// Where things go in the picture, and in which colours: one column per tick, scaled to the run,
// one row per control and per thing the plugin sent, the axis and the legend below.
constexpr double kLeft = 170;  // row labels
constexpr double kRight = 24;
constexpr double kTop = 56;         // title and subtitle
constexpr double kLabelSpace = 14;  // release labels above the aim row
constexpr double kRowHeight = 20;
constexpr double kRowGap = 10;
constexpr double kPlotWidth = 1200;  // what a run is scaled to, within the widths below
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
constexpr char kReleaseColour[] = "#222222";
constexpr char kFailedPattern[] = "url(#failed)";  // defined in the picture's <defs>

std::string tickRange(const std::vector<TickRecord>& ticks, size_t first, size_t last) {
  if (first == last) return "tick " + std::to_string(ticks[first].tick);
  return "ticks " + std::to_string(ticks[first].tick) + "\u2013" + std::to_string(ticks[last].tick);
}

// How a row draws a state: its colour, what its tooltip says it is, and more attributes.
struct Look {
  std::string_view colour;
  std::string what;
  std::string extra{};
};

// The rows go down from under the title and the release labels above the aim row.
double rowTop(size_t row) {
  return kTop + kLabelSpace + static_cast<double>(row) * (kRowHeight + kRowGap);
}

class Picture {
 public:
  Picture(const Scenario& scenario, const RunSummary& run)
      : scenario_(scenario),
        settings_(common::readSettings(scenario.settingsText)),
        run_(run),
        ticks_(run.firstTicks),
        // One column per tick, scaled to the run.
        tickWidth_(std::clamp(kPlotWidth / static_cast<double>(std::max<size_t>(ticks_.size(), 1)),
                              kMinTickWidth, kMaxTickWidth)) {}

  std::string draw() {
    std::vector<std::string> rows = {"aim control", "aim latch",         "forced aim sent",
                                     "sprint",      "unarmed (as seen)", "next camera",
                                     "weapon wheel"};
    const bool errors = std::any_of(ticks_.begin(), ticks_.end(), [](const TickRecord& t) {
      return t.summary.protocolErrors > 0;
    });
    if (errors) rows.push_back("protocol errors");
    const double plotWidth = static_cast<double>(ticks_.size()) * tickWidth_;
    title();
    for (size_t row = 0; row < rows.size(); ++row) {
      svg_.text(kLeft - 8, rowTop(row) + 14, rows[row], "text-anchor=\"end\"");
      svg_.rect(kLeft, rowTop(row), plotWidth, kRowHeight, "#f4f4f4", "");
    }
    const double axisTop = rowTop(rows.size()) - kRowGap + 4;
    axis(axisTop);
    aimRow();
    stateRow(1, {{kLatchColour, "aim latch on"}},
             [&](size_t i) { return ticks_[i].summary.latch; });
    stateRow(2, {{kAimOffColour, "forced aim off sent"}, {kAimOnColour, "forced aim on sent"}},
             [&](size_t i) {
               const std::optional<bool> sent = ticks_[i].summary.forcedAim;
               return !sent ? 0 : *sent ? 2 : 1;
             });
    stateRow(3, {{kSprintColour, "sprint held"}},
             [&](size_t i) { return ticks_[i].inputs.sprint; });
    weaponRow();
    stateRow(5, {{kCameraColour, "next camera pressed"}},
             [&](size_t i) { return ticks_[i].inputs.nextCamera; });
    stateRow(6, {{kWheelColour, "weapon wheel open"}},
             [&](size_t i) { return ticks_[i].inputs.wheel; });
    if (errors) {
      stateRow(7, {{kErrorColour, "protocol error"}},
               [&](size_t i) { return ticks_[i].summary.protocolErrors > 0; });
    }
    const double end = legend(axisTop + 48);
    const std::string width = svgNumber(std::max(kLeft + plotWidth + kRight, kMinWidth));
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           width + "\" height=\"" + svgNumber(end) + "\" viewBox=\"0 0 " + width + " " +
           svgNumber(end) +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n"
           "<defs><pattern id=\"failed\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
           "patternTransform=\"rotate(45)\"><rect width=\"2\" height=\"6\" fill=\"#222222\" "
           "fill-opacity=\"0.6\"/></pattern></defs>\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" +
           svg_.body() + "</svg>\n";
  }

 private:
  double x(size_t tick) const { return kLeft + static_cast<double>(tick) * tickWidth_; }
  double centre(size_t tick) const { return x(tick) + tickWidth_ / 2; }
  // From the first tick of a run to the end of its last.
  double runWidth(size_t first, size_t last) const { return x(last + 1) - x(first); }

  void title() {
    std::string subtitle =
        std::to_string(run_.ticksRun) + " ticks \u00b7 " + settings_file::kShortPress.name + " " +
        std::to_string(settings_.shortPress) + ", " + settings_file::kLongPress.name + " " +
        std::to_string(settings_.longPress) + " \u00b7 " +
        (settings_.holdMode != 0 ? "hold mode" : "forced mode");
    if (ticks_.size() < run_.ticksRun) {
      subtitle += " \u00b7 only " + tickRange(ticks_, 0, ticks_.size() - 1) + " are drawn";
    }
    svg_.text(12, 24, "kestova-sim: " + scenario_.name, "font-size=\"16\" font-weight=\"bold\"");
    svg_.text(12, 44, subtitle);
    if (run_.stopped) {
      svg_.text(12, kTop + 2, "run stopped: " + run_.stopped->message,
                "fill=\"" + std::string(kErrorColour) + "\"");
    }
  }

  void axis(double top) {
    // Left of where the first tick's labels can reach, which are centred on it.
    svg_.text(kLeft - 40, top + 12, "tick", "text-anchor=\"end\" font-size=\"10\"");
    svg_.text(kLeft - 40, top + 26, "timer", "text-anchor=\"end\" font-size=\"10\"");
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
      const double middle = centre(i);
      if (middle - lastLabel < kLabelSpacing) continue;
      lastLabel = middle;
      svg_.line(middle, rowTop(0) - 2, middle, top + 2, "#dddddd");
      svg_.text(middle, top + 12, std::to_string(ticks_[i].tick),
                "text-anchor=\"middle\" font-size=\"10\"");
      svg_.text(middle, top + 26, std::to_string(static_cast<int32_t>(ticks_[i].timer())),
                "text-anchor=\"middle\" font-size=\"10\" fill=\"#555555\"");
    }
  }

  // Each run of ticks in the same nonzero state as one rectangle, drawn with state's look:
  // state 1 with the first, 2 with the second.
  template <typename State>
  void stateRow(size_t row, const std::vector<Look>& looks, State state) {
    for (size_t first = 0; first < ticks_.size();) {
      const int s = state(first);
      size_t last = first;
      while (last + 1 < ticks_.size() && state(last + 1) == s) ++last;
      if (s != 0) {
        const Look& look = looks[static_cast<size_t>(s) - 1];
        svg_.rect(x(first), rowTop(row), runWidth(first, last), kRowHeight, look.colour,
                  look.what + ", " + tickRange(ticks_, first, last), look.extra);
      }
      first = last + 1;
    }
  }

  // Unarmed as the plugin last saw it: a failed query leaves what it saw before.
  void weaponRow() {
    std::vector<bool> unarmed(ticks_.size());
    bool seen = false;
    bool asked = false;
    for (size_t i = 0; i < ticks_.size(); ++i) {
      const sim::WeaponSeen weapon = ticks_[i].summary.weapon;
      if (weapon == sim::WeaponSeen::armed || weapon == sim::WeaponSeen::unarmed) {
        seen = weapon == sim::WeaponSeen::unarmed;
      }
      asked = asked || weapon != sim::WeaponSeen::notAsked;
      unarmed[i] = seen;
    }
    if (!asked) {
      svg_.text(kLeft + 6, rowTop(4) + 14, "no weapon query made (hold mode makes none)",
                "fill=\"#777777\" font-size=\"11\"");
      return;
    }
    stateRow(4, {{kUnarmedColour, "unarmed, as the weapon query saw it"}},
             [&](size_t i) { return unarmed[i]; });
    stateRow(4, {{kFailedPattern, "weapon query failed: the plugin keeps what it saw before"}},
             [&](size_t i) { return ticks_[i].summary.weapon == sim::WeaponSeen::failed; });
  }

  void aimRow() {
    const double top = rowTop(0);
    double labelsEnd = 0;  // where the last release label ends, so that labels never overlap
    for (const Press& press : pressesOf(ticks_)) {
      if (press.taken) {
        const std::string what = "tap window of the press on tick " +
                                 std::to_string(ticks_[press.down].tick) +
                                 ": a release here is a tap";
        // A release is timed by its tick's first timer value.
        stateRow(0, {{kWindowColour, what, "fill-opacity=\"0.55\""}}, [&](size_t i) {
          return i >= press.down && i <= press.windowEnd &&
                 tap_rule::isTap(tap_rule::elapsedSince(press.pressTime, ticks_[i].timer()),
                                 settings_);
        });
      }
      if (press.down != kNoTick) {
        const size_t last = press.up != kNoTick ? press.up : press.windowEnd;
        svg_.rect(x(press.down), top + 5, runWidth(press.down, last), kRowHeight - 10, kAimColour,
                  "aim control held, " + tickRange(ticks_, press.down, last) +
                      (press.taken ? "" : " (press ignored: the weapon wheel is open)"),
                  press.taken ? "" : "fill-opacity=\"0.4\"");
      }
      if (press.up != kNoTick) release(press, labelsEnd);
    }
  }

  // The release mark, labelled with the press length the plugin measured and what it made of it.
  void release(const Press& press, double& labelsEnd) {
    const Release made = releaseOf(ticks_, press, settings_);
    std::string label = "release";
    std::string tip = "release on tick " + std::to_string(ticks_[press.up].tick);
    std::string colour = kReleaseColour;
    if (made.ignored) {
      label = "ignored";
      tip += ": ignored, the weapon wheel is open";
    } else if (made.measured) {
      // By PressLength: tooShort, tap, tooLong.
      constexpr const char* kLabels[] = {"short", "tap", "long"};
      constexpr const char* kVerdicts[] = {"too short", "a tap", "too long"};
      const auto length = static_cast<size_t>(made.length);
      label = std::to_string(made.elapsed) + " " + kLabels[length];
      if (!press.taken) {
        tip += ", timed from the plugin's earlier press time (this press was ignored)";
      }
      tip += " after " + std::to_string(made.elapsed) + " timer units; the tap window is [" +
             std::to_string(settings_.shortPress) + ", " + std::to_string(settings_.longPress) +
             "): " + kVerdicts[length];
      if (made.length == tap_rule::PressLength::tap) colour = kAimOnColour;
    }
    const double middle = centre(press.up);
    svg_.line(middle, rowTop(0) - 2, middle, rowTop(0) + kRowHeight + 2, colour,
              "stroke-width=\"2\"", tip);
    const double half = 3.0 * static_cast<double>(label.size());
    if (middle - half < labelsEnd + 4) return;
    labelsEnd = middle + half;
    svg_.text(middle, rowTop(0) - 4, label,
              "text-anchor=\"middle\" font-size=\"10\" fill=\"" + colour + "\"");
  }

  // What each colour and mark means, and where the settings come from; returns where the
  // picture ends.
  double legend(double top) {
    double y = top;
    const auto entry = [&](std::string_view colour, const std::string& words,
                           const std::string& extra = "") {
      svg_.rect(12, y - 10, 22, 12, colour, "", extra);
      svg_.text(42, y, words);
      y += kLegendLine;
    };
    entry(kAimColour, "aim control held, from aim-down to aim-up (the scenario's input)");
    entry(kWindowColour,
          "tap window: a release on these ticks is a tap, [ShortPress, LongPress) = [" +
              std::to_string(settings_.shortPress) + ", " + std::to_string(settings_.longPress) +
              ") timer units after the press",
          "fill-opacity=\"0.55\"");
    svg_.line(23, y - 12, 23, y + 3, kReleaseColour, "stroke-width=\"2\"");
    svg_.text(42, y, "release, with the press length the plugin measured: tap, short or long");
    y += kLegendLine;
    entry(kLatchColour, "aim latch on: the per-tick hold call made, no camera cancel after it");
    entry(kAimOnColour, "forced aim on sent (blank: nothing sent)");
    entry(kAimOffColour, "forced aim off sent");
    entry(kSprintColour, "sprint held");
    entry(kUnarmedColour,
          "unarmed: WEAPON_UNARMED, as the plugin's weapon query last saw it (it acts a tick "
          "later)");
    entry(kFailedPattern, "weapon query failed: the plugin keeps what it saw before");
    entry(kCameraColour, "next camera pressed: cancels the latch");
    entry(kWheelColour, "weapon wheel open: aim and camera input ignored");
    y += 6;
    svg_.text(12, y,
              common::keyNames() +
                  " are read from the scenario's Kestova.ini with the profile reader's rules;",
              "font-size=\"11\" fill=\"#555555\"");
    svg_.text(12, y + 14,
              "the plugin's own read makes no host call, so the trace cannot show it. Timer: the "
              "tick's first timer value.",
              "font-size=\"11\" fill=\"#555555\"");
    return y + 26;
  }

  const Scenario& scenario_;
  const ToggleSettings settings_;  // as the plugin read them
  const RunSummary& run_;
  const std::vector<TickRecord>& ticks_;
  double tickWidth_;
  SvgWriter svg_;
};

}  // namespace

std::string drawTimeline(const Scenario& scenario, const RunSummary& run) {
  return Picture(scenario, run).draw();
}

}  // namespace cli
