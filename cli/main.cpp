// kestova-sim: runs the plugin in the simulated host on a scenario and shows what it did, or
// checks a settings file or a game folder. Its command line has the run and check subcommands,
// each with its options; running is what kestova-sim does without a subcommand.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/check/game_folder_check.h"
#include "cli/check/machine.h"
#include "cli/check/report_text.h"
#include "cli/check/write_flow.h"
#include "cli/run/run_command.h"
#include "common/command_line.h"
#include "common/console.h"
#include "kestova_version.h"
#include "sim/os.h"

namespace cli {
namespace {

const char kDescription[] =
    "Runs the Kestova plugin in the simulated host, tick by tick, and prints a table of what it "
    "did; without SCENARIO it runs the built-in demo. Running is what kestova-sim does without a "
    "subcommand: kestova-sim SCENARIO is kestova-sim run SCENARIO.";
const char kFooter[] =
    "Exit status: 0 done, 1 the plugin broke the host protocol, 2 bad input or no run.\n"
    "kestova-sim check --help says what check does.";
const char kCheckHelp[] =
    "Reads a settings file (default ./Kestova.ini) as the plugin does and says what the plugin "
    "will make of it, one finding per line; given a game folder, it also checks Kestova.dll and "
    "the host there, as the player's KestovaCheck does.";
const char kCheckFooter[] =
    "With --taps it also says how many of the taps the settings count, and suggests ShortPress "
    "and LongPress lines that count them all and keep the holds out.\n"
    "Exit status: 0 it works as written, 1 warnings or no file (the plugin then uses its "
    "defaults), 2 the file cannot be read (or, with --write, not written faithfully), or a "
    "mistake in the command line.";

// A value that is there, and is not an option mistaken for one: --svg=--trace.
CLI::Validator valueNamed(const std::string& what) {
  return CLI::Validator(
      [what](const std::string& value) -> std::string {
        if (value.empty()) return "needs " + what;
        if (value.front() != '-') return "";
        return "needs " + what + ", not the option " + value +
               " (write a file name that starts with '-' as ./" + value + ")";
      },
      "");
}

// The checker's check, then, given taps, what the settings make of them.
common::ExitStatus checkCommand(const std::optional<std::string>& path,
                                const std::vector<int>& taps, const std::vector<int>& holds,
                                bool write) {
  Machine& machine = thisMachine();
  const common::Result<CheckReport> report = checkPath(path, machine);
  const common::ExitStatus status = printCheck(report, stdout, stderr, kProgramName);
  if (!report || taps.empty()) return status;
  return tapAdvice(*report, status, {taps, holds}, write ? WriteChoice::yes : WriteChoice::no,
                   machine, stdout);
}

// The arguments in UTF-8, the program's name first.
common::ExitStatus runCommandLine(const std::vector<std::string>& arguments) {
  CLI::App app(kDescription, kProgramName);
  app.set_version_flag("--version", std::string(kProgramName) + " " KESTOVA_VERSION);
  app.footer(kFooter);
  app.require_subcommand(0, 1);
  // On Windows CLI11 would take /path for an option; options here are written with dashes on
  // every platform, so a path given from the root is a path. Subcommands inherit this.
  app.allow_windows_style_options(false);
  // Each option once: a second --svg or --trace is a mistake, not a change of mind.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);

  // The run's options are the program's own; "run" names the default, and hands its words up.
  RunArguments run;
  app.add_option("SCENARIO", run.scenarioPath, "the scenario file (default: the built-in demo)")
      ->check(valueNamed("a path"));
  CLI::Option* traceOption =
      app.add_flag("--trace", run.trace, "also list every host call under its tick")
          ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
  app.add_flag("--json", run.json, "write JSON Lines instead of the table")
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw)
      ->excludes(traceOption);
  app.add_option("--svg", run.svgPath, "also draw the run as a timeline picture (2000 ticks)")
      ->type_name("OUT.svg")
      ->check(valueNamed("a file name"));
  run.pluginPath = sim::os::defaultPluginPath();
  app.add_option("--plugin", run.pluginPath,
                 "the plugin library to load (default: the one beside kestova-sim)")
      ->type_name("PATH")
      ->check(valueNamed("a path"));
  CLI::App* runApp = app.add_subcommand("run", "run a scenario: the same as no subcommand");
  runApp->fallthrough();
  // Its options are the program's: its help shows them.
  runApp->footer("");
  runApp->footer([&app] {
    return app.get_formatter()->make_help(&app, "kestova-sim", CLI::AppFormatMode::Normal);
  });

  std::optional<std::string> settingsPath;  // none: ./Kestova.ini
  std::vector<int> taps;                    // press lengths in milliseconds, for the tap advice
  std::vector<int> holds;
  bool write = false;  // write the advice's suggestion into the settings file
  CLI::App* checkApp = app.add_subcommand("check", kCheckHelp)->footer(kCheckFooter);
  checkApp
      ->add_option("SETTINGS", settingsPath,
                   "the settings file or game folder (default ./Kestova.ini)")
      ->check(valueNamed("a path"));
  // Lengths a player could measure: up to a minute.
  const CLI::Range milliseconds(0, 60000);
  CLI::Option* tapsOption =
      checkApp
          ->add_option("--taps", taps, "lengths of your taps in milliseconds, such as 80,95,120")
          ->delimiter(',')
          // One comma list: a path after it is the path.
          ->allow_extra_args(false)
          ->type_name("MS,...")
          ->check(milliseconds);
  checkApp
      ->add_option("--holds", holds,
                   "lengths of presses meant as holds, such as 300,400, to keep out of the window")
      ->delimiter(',')
      ->allow_extra_args(false)
      ->type_name("MS,...")
      ->check(milliseconds)
      ->needs(tapsOption);
  checkApp
      ->add_flag("--write", write,
                 "write the suggested lines into the settings file; the old one is kept as .bak")
      ->needs(tapsOption);
  // The program's own options are the run's, which check does not take; --help and --version
  // end the parse before this is looked at.
  for (CLI::Option* runOption : app.get_options()) checkApp->excludes(runOption);

  if (const auto stop = common::parseArguments(app, arguments, stdout, stderr,
                                               std::string(kProgramName) + " --help")) {
    return *stop;
  }
  if (checkApp->parsed()) return checkCommand(settingsPath, taps, holds, write);
  return runCommand(run);
}

}  // namespace
}  // namespace cli

int main(int argc, char** argv) {
  common::useUtf8Output();
  // UTF-8 whatever the system's code page, so that a folder named ゲーム or Jörg works.
  return exitCode(cli::runCommandLine(common::utf8Arguments(argc, argv)));
}
