#include "cli/check/player_window.h"

#include <CLI/CLI.hpp>
#include <optional>

#include "cli/check/game_folder_check.h"
#include "cli/check/machine.h"
#include "cli/check/press_session.h"
#include "cli/check/report_text.h"
#include "cli/check/write_flow.h"
#include "common/command_line.h"
#include "common/console.h"
#include "kestova_version.h"

namespace cli {
namespace {

const char kProgram[] = "KestovaCheck";

// The check, then the tap test where there is a player to take it. lastWords: the verdict as it
// stands after the tap test, to be said again where the player's eyes are at the end.
common::ExitStatus check(const std::vector<std::string>& arguments, Machine& machine,
                         std::FILE* out, std::FILE* err, std::string& lastWords) {
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

  if (const auto stop =
          common::parseArguments(app, arguments, out, err, std::string(kProgram) + " --help"))
    return *stop;
  const common::Result<CheckReport> report = checkPath(path, machine);
  const common::ExitStatus status = printCheck(report, out, err, kProgram);
  if (!report || !(taps || machine.ownsConsoleWindow())) return status;
  const std::optional<Presses> measured =
      measurePresses(machine, report->settings, machine.system() == SystemKind::wine, out);
  const common::ExitStatus tapped =
      measured ? tapAdvice(*report, status, *measured, WriteChoice::ask, machine, out) : status;
  // Checked again after the tap test: a write may have changed what it says.
  const common::Result<CheckReport> now = measured ? checkPath(path, machine) : report;
  lastWords = now ? verdict(*now) : common::errorLine(now.error(), kProgram);
  return tapped;
}

}  // namespace

common::ExitStatus runChecker(const std::vector<std::string>& arguments, Machine& machine,
                              std::FILE* out, std::FILE* err) {
  std::string lastWords;
  const common::ExitStatus status = check(arguments, machine, out, err, lastWords);
  // A window Windows opened for a double-click would close before the player could read it.
  if (machine.ownsConsoleWindow()) {
    common::writeText(out, (lastWords.empty() ? "" : "\n" + lastWords + "\n") +
                               "\nPress Enter to close this window.\n");
    (void)machine.readLine();  // or the end of input
  }
  return status;
}

}  // namespace cli
