#include "cli/check/press_session.h"

#include <algorithm>
#include <cmath>

#include "cli/check/machine.h"
#include "common/console.h"
#include "toggle/tap_rule.h"

namespace cli {
namespace {

using Kind = PressEvent::Kind;

const char* verdictOf(int lengthMs, const ToggleSettings& settings) {
  if (tap_rule::isTap(lengthMs, settings)) return "a tap: it toggles aim";
  return lengthMs < settings.shortPress ? "too short for a tap" : "too long for a tap";
}

// The steps, taps then holds, as the presses come: each said on a line of its own.
class Session {
 public:
  Session(const ToggleSettings& settings, std::FILE* out) : settings_(settings), out_(out) {}

  // False when both steps are done or skipped.
  bool take(const PressEvent& event) {
    switch (event.kind) {
      case Kind::skip:
        return nextStep();
      case Kind::lost:
        if (open_ && (event.button.empty() || event.button == open_->button)) {
          say("  " + open_->button +
              " was cut off: this window lost its input (its focus, or the button was let go "
              "outside it), so that press is not counted.");
          open_.reset();  // and its release, if it comes, closes nothing
        }
        return true;
      case Kind::down:
        // Other buttons while a press is open, and a held key's repeats, open nothing.
        if (!open_) open_ = event;
        return true;
      case Kind::up:
        if (!open_ || event.button != open_->button) return true;
        const double length = std::max(0.0, event.atMs - open_->atMs);
        open_.reset();
        return measured(static_cast<int>(std::lround(std::min(length, 3600e3))));
    }
    return true;
  }

  Presses presses;

 private:
  bool measured(int lengthMs) {
    const std::string ms = std::to_string(lengthMs) + " ms";
    if (!holding_ && lengthMs >= kHoldFromMs) {
      say("  " + ms + ": that was a hold, not a tap: tap again.");
      return true;
    }
    std::vector<int>& lengths = holding_ ? presses.holds : presses.taps;
    lengths.push_back(lengthMs);
    say("  " + std::string(holding_ ? "hold " : "tap ") + std::to_string(lengths.size()) + ": " +
        ms + ", " + verdictOf(lengthMs, settings_) + ".");
    return lengths.size() < (holding_ ? kHoldsAsked : kTapsAsked) || nextStep();
  }

  bool nextStep() {
    open_.reset();
    if (holding_ || presses.taps.empty()) return false;
    holding_ = true;
    say("Now hold it " + std::to_string(kHoldsAsked) +
        " times, as you would to aim normally. Enter or Esc skips this step.");
    return true;
  }

  void say(const std::string& line) { common::writeText(out_, line + "\n"); }

  const ToggleSettings& settings_;
  std::FILE* out_;
  bool holding_ = false;  // the taps are done: holds are measured now
  std::optional<PressEvent> open_;
};

std::string chartRow(const std::string& label, const std::string& bar, const std::string& end) {
  std::string row = "  " + label;
  row.resize(10, ' ');
  return row + "|" + bar + "|  " + end;
}

}  // namespace

std::vector<std::string> pressChart(const Presses& presses, const ToggleSettings& settings,
                                    size_t barColumns) {
  int longest = 1;
  for (const std::vector<int>* lengths : {&presses.taps, &presses.holds}) {
    for (const int length : *lengths) longest = std::max(longest, length);
  }
  const double msPerColumn = static_cast<double>(longest) / static_cast<double>(barColumns);
  const tap_rule::TapWindow window = tap_rule::tapWindow(settings);
  std::string marks(barColumns, ' ');
  for (size_t c = 0; c < barColumns; ++c) {
    const double from = static_cast<double>(c) * msPerColumn;
    if (from + msPerColumn > static_cast<double>(window.first) &&
        from <= static_cast<double>(window.last)) {
      marks[c] = '=';
    }
  }
  if (window.last > longest && window.first <= window.last) marks.back() = '>';
  std::vector<std::string> rows = {chartRow(
      "window", marks,
      window.first > window.last
          ? "no press is a tap"
          : std::to_string(window.first) + " to " + std::to_string(window.last) + " ms is a tap")};
  const auto addRows = [&](const std::vector<int>& lengths, const char* label) {
    for (size_t i = 0; i < lengths.size(); ++i) {
      const auto columns = static_cast<size_t>(std::lround(lengths[i] / msPerColumn));
      std::string bar(std::clamp<size_t>(columns, lengths[i] > 0 ? 1 : 0, barColumns), '#');
      bar.resize(barColumns, ' ');
      rows.push_back(
          chartRow(label + std::to_string(i + 1), bar, std::to_string(lengths[i]) + " ms"));
    }
  };
  addRows(presses.taps, "tap ");
  addRows(presses.holds, "hold ");
  return rows;
}

std::optional<Presses> measurePresses(Machine& machine, const ToggleSettings& settings, bool onWine,
                                      std::FILE* out) {
  common::writeText(
      out, "\nDoes your tap count? Tap the aim button " + std::to_string(kTapsAsked) +
               " times, as you would in play: the right mouse button (with the pointer over this "
               "window), the key you aim with, or a gamepad's left trigger. Enter or Esc skips "
               "this step.\n" +
               (onWine ? "Under Wine or Proton a right-click may open this window's own menu "
                         "instead: then tap the key you aim with, or the gamepad's trigger.\n"
                       : ""));
  Session session(settings, out);
  if (!machine.readPresses([&session](const PressEvent& event) { return session.take(event); })) {
    common::writeText(out,
                      "\nThis window cannot report presses of the aim button, so the check "
                      "cannot measure your taps here.\n");
    return std::nullopt;
  }
  if (session.presses.taps.empty()) {
    common::writeText(out, "The tap test was skipped.\n");
    return std::nullopt;
  }
  std::string chart = "\nYour presses to scale, against the tap window:\n";
  // Rows of the label, the bar and the length: the bars as wide as a narrow window leaves room.
  const size_t bars = std::clamp<size_t>(common::textColumns(out).value_or(76), 46, 76) - 36;
  for (const std::string& row : pressChart(session.presses, settings, bars)) chart += row + "\n";
  common::writeText(out, chart);
  return session.presses;
}

}  // namespace cli
