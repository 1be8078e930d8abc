#include "cli/check/checker.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <sstream>

#include "cli/check/check_command.h"
#include "cli/check/tap_check.h"
#include "cli/check/tap_session.h"
#include "common/console.h"
#include "kestova_version.h"

namespace cli {
namespace {

const char kProgram[] = "KestovaCheck";

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

  try {
    // CLI11 takes a list of words last first, without the program's name.
    std::vector<std::string> words(arguments.rbegin(), arguments.rend());
    if (!words.empty()) words.pop_back();
    app.parse(words);
  } catch (const CLI::ParseError& error) {
    std::ostringstream shown;
    if (app.exit(error, shown, shown) == 0) {
      common::writeText(out, shown.str());
      return common::ExitStatus::success;
    }
    common::writeError(err, common::Error(error.what() + std::string(" (see --help)")), kProgram);
    return common::ExitStatus::badInput;
  }
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
