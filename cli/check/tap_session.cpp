#include "cli/check/tap_session.h"

#include <algorithm>
#include <cmath>

#include "common/console.h"
#include "toggle/tap_rule.h"

namespace cli {
namespace {

constexpr size_t kTapsAsked = 5;
constexpr size_t kHoldsAsked = 3;
constexpr int64_t kColumns = 40;

// The bars' scale: twice the window's end, so that the window sits in the left half.
int64_t scaleMs(const ToggleSettings& settings) {
  return std::clamp<int64_t>(2 * int64_t{settings.longPress}, 300, 2000);
}

int64_t columnOf(int64_t ms, int64_t scale) {
  return std::clamp<int64_t>(ms * kColumns / scale, 0, kColumns);
}

std::string labelled(const char* label, const std::string& bar) {
  std::string line = std::string("  ") + label;
  line.resize(12, ' ');
  return line + bar;
}

// Both bars put a length in the column that holds it: a press of ShortPress ends in the window's
// first column, one of LongPress - 1 in its last.
std::string windowBar(const ToggleSettings& settings) {
  const tap_rule::TapWindow window = tap_rule::tapWindow(settings);
  const int64_t scale = scaleMs(settings);
  std::string bar(static_cast<size_t>(kColumns), '.');
  if (window.first <= window.last && window.first <= scale && window.last >= 0) {
    for (int64_t c = columnOf(window.first, scale); c <= columnOf(window.last, scale); ++c) {
      bar[static_cast<size_t>(std::min(c, kColumns - 1))] = '=';
    }
  }
  const std::string ends =
      window.first > window.last
          ? "no press is a tap"
          : std::to_string(window.first) + " to " + std::to_string(window.last) + " ms is a tap";
  return labelled("window", "|" + bar + "|  " + ends);
}

// One press as a line: a bar of its length, and what the settings make of it.
std::string pressBar(const char* label, int lengthMs, const ToggleSettings& settings) {
  const int64_t scale = scaleMs(settings);
  std::string bar(static_cast<size_t>(std::min(columnOf(lengthMs, scale) + 1, kColumns)), '#');
  bar.resize(static_cast<size_t>(kColumns), ' ');
  if (lengthMs > scale) bar.back() = '>';
  const char* verdict = tap_rule::isTap(lengthMs, settings) ? "a tap: it toggles"
                        : lengthMs < settings.shortPress    ? "too short for a tap"
                                                            : "too long for a tap";
  return labelled(label, "|" + bar + "|  " + std::to_string(lengthMs) + " ms, " + verdict);
}

}  // namespace

std::optional<Presses> measurePresses(Machine& machine, const ToggleSettings& settings,
                                      std::FILE* out) {
  Presses measured;
  bool holding = false;  // the taps are done: holds are measured now
  std::optional<PressEvent> open;
  common::writeText(out, "\nDoes your tap count? Tap the aim button " + std::to_string(kTapsAsked) +
                             " times, as you would in play: the right mouse button (with the "
                             "pointer over this window), the key you aim with, or a gamepad's "
                             "left trigger. Esc skips.\n" +
                             windowBar(settings) + "\n");
  const auto nextPhase = [&]() {
    if (holding || measured.taps.empty()) return false;
    holding = true;
    open.reset();
    common::writeText(out, "Now hold it " + std::to_string(kHoldsAsked) +
                               " times, as you would to aim normally. Esc skips.\n");
    return true;
  };
  const bool read = machine.readPresses([&](const PressEvent& event) {
    if (event.kind == PressEvent::Kind::stop) return nextPhase();
    if (event.kind == PressEvent::Kind::down) {
      if (!open) open = event;  // a key held down repeats its down
      return true;
    }
    if (!open || event.button != open->button) return true;
    const auto length = static_cast<int>(std::lround(std::max(0.0, event.atMs - open->atMs)));
    open.reset();
    std::vector<int>& lengths = holding ? measured.holds : measured.taps;
    lengths.push_back(length);
    const std::string label =
        std::string(holding ? "hold " : "tap ") + std::to_string(lengths.size());
    common::writeText(out, pressBar(label.c_str(), length, settings) + "\n");
    return lengths.size() < (holding ? kHoldsAsked : kTapsAsked) || nextPhase();
  });
  if (!read) {
    common::writeText(out,
                      "\nThis window cannot report presses of the aim button, so the "
                      "check cannot measure your taps here.\n");
    return std::nullopt;
  }
  if (measured.taps.empty()) return std::nullopt;
  return measured;
}

}  // namespace cli
