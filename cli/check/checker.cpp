#include "cli/check/checker.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <optional>

#include "cli/check/check_command.h"
#include "cli/check/tap_check.h"
#include "common/command_line.h"
#include "common/console.h"
#include "kestova_version.h"
#include "toggle/tap_rule.h"

namespace cli {
namespace {

const char kProgram[] = "KestovaCheck";

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

// The player's own taps and holds of the aim button: a few of each asked for, each press shown as
// a bar against the tap window as it arrives. nullopt when the machine cannot read presses, or
// the player skipped before the first tap.
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

common::ExitStatus check(const std::vector<std::string>& arguments, Machine& machine,
                         std::FILE* out, std::FILE* err) {
  CLI::App app(
      "Checks a game folder for the Kestova plugin: Kestova.dll, the script-hook host beside it, "
      "Kestova.ini and what the plugin will make of it. Without an argument it checks the folder "
      "it is in; a settings file given (or dropped on it) is checked alone.",
      kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " KESTOVA_VERSION);
  app.footer(
      "Exit status: 0 no problems, 1 warnings, 2 cannot read, or a mistake in the command "
      "line.");
  // A path from the root is a path, never an option, whatever the platform.
  app.allow_windows_style_options(false);
  // Double-clicked, it checks the folder it is in, whatever folder a shortcut starts it in.
  std::string path = common::utf8FromPath(common::programFolder());
  app.add_option("PATH", path, "the game folder or settings file (default: the folder it is in)")
      ->check([](const std::string& value) { return value.empty() ? "the path is empty" : ""; });
  bool taps = false;
  app.add_flag("--taps", taps,
               "after the check, measure your taps of the aim button even from a command prompt "
               "(in a window of its own it always offers to)");

  if (const auto stop = common::parseArguments(app, arguments, out, err, "--help")) return *stop;
  const common::Result<CheckReport> report = checkPath(path, machine);
  const common::ExitStatus status = printCheck(report, out, err, kProgram);
  if (!report || !(taps || machine.ownsConsoleWindow())) return status;
  const std::optional<Presses> measured = measurePresses(machine, report->settings, out);
  if (!measured) return status;
  return tapCheck(*report, status, *measured, WriteChoice::ask, machine, out, err, kProgram);
}

}  // namespace

common::ExitStatus runChecker(const std::vector<std::string>& arguments, Machine& machine,
                              std::FILE* out, std::FILE* err) {
  const common::ExitStatus status = check(arguments, machine, out, err);
  // A window Windows opened for a double-click would close before the player could read it.
  if (machine.ownsConsoleWindow()) {
    common::writeText(out, "\nPress Enter to close this window.\n");
    (void)machine.readLine();  // or the end of input
  }
  return status;
}

}  // namespace cli
