#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <sstream>
#include <vector>

#include "kestova_version.h"
#include "sim/plugin_module.h"

namespace cli {
namespace {

const char kRunHelp[] =
    "Runs the Kestova plugin in the simulated host, tick by tick, and prints a table of what it "
    "did. Without SCENARIO it runs the built-in demo.";
const char kRunStatus[] =
    "Exit status: 0 done, 1 the plugin broke the host protocol, 2 bad input or no run.";
const char kCheckHelp[] =
    "Reads a settings file (default ./Kestova.ini) as the plugin does and says what the plugin "
    "will make of it, one finding per line; given a game folder, it also checks Kestova.dll and "
    "the host there, as the player's KestovaCheck does.";
const char kCheckStatus[] =
    "Exit status: 0 it works as written, 1 warnings or no file (the plugin then uses its "
    "defaults), 2 the file cannot be read.";

sim::Error commandLineError(const std::string& message) {
  return sim::Error{message, "kestova-sim", 0};
}

const char kSeeHelp[] = " (see kestova-sim --help)";

// Each option once: a second --svg or --trace is a mistake, not a change of mind. All are
// kept, so that the count shows it.
CLI::Option* once(CLI::Option* option) {
  return option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

// A value or none: CLI11 then stops at the next option rather than taking it as the value, and
// a missing value gets our message.
CLI::Option* valueOption(CLI::App& app, const char* name, std::string& value,
                         const char* description, const char* valueName) {
  return once(app.add_option(name, value, description))->expected(0, 1)->type_name(valueName);
}

std::optional<std::string> repeatedOption(const CLI::App& app) {
  for (const CLI::Option* option : app.get_options()) {
    if (option->count() > 1) return option->get_name() + " is given more than once";
  }
  return std::nullopt;
}

// --svg --trace leaves --svg without a value; --svg=--trace gives it one that is an option.
std::optional<std::string> valueProblem(const std::string& option, const std::string& value,
                                        const char* needs) {
  if (value.empty()) return option + " needs " + needs;
  if (value.front() == '-') {
    return option + " needs " + needs + ", not the option " + value +
           " (write a file name that starts with '-' as ./" + value + ")";
  }
  return std::nullopt;
}

// Words the program has not parsed: CLI11 leaves them for us to name, one line as always.
std::optional<std::string> leftOver(const CLI::App& app, const char* what) {
  for (const std::string& word : app.remaining()) {
    if (!word.empty() && word.front() == '-') return "unknown option " + word + kSeeHelp;
    return std::string("more than one ") + what + " given";
  }
  return std::nullopt;
}

}  // namespace

sim::Result<Command> parseCommandLine(int argc, const char* const* argv) {
  CLI::App app("Runs the Kestova plugin in a simulated host, or checks a settings file.",
               "kestova-sim");
  app.set_version_flag("--version", "kestova-sim " KESTOVA_VERSION);
  app.footer(
      "Without a subcommand, kestova-sim runs: kestova-sim SCENARIO is kestova-sim run "
      "SCENARIO.\nkestova-sim run --help and kestova-sim check --help say more.");
  app.require_subcommand(0, 1);
  // On Windows CLI11 would take /path for an option; options here are written with dashes on
  // every platform, so a path given from the root is a path. Subcommands inherit this.
  app.allow_windows_style_options(false);

  RunCommand run;
  bool trace = false;
  bool json = false;
  std::string scenario;
  std::string svg;
  std::string plugin;
  CLI::App* runApp = app.add_subcommand("run", kRunHelp)->allow_extras()->footer(kRunStatus);
  runApp->add_option("SCENARIO", scenario, "the scenario file (default: the built-in demo)");
  CLI::Option* traceOption =
      once(runApp->add_flag("--trace", trace, "also list every host call under its tick"));
  CLI::Option* jsonOption =
      once(runApp->add_flag("--json", json, "write JSON Lines instead of the table"));
  jsonOption->excludes(traceOption);
  valueOption(*runApp, "--svg", svg, "also draw the run as a timeline picture (2000 ticks)",
              "OUT.svg");
  valueOption(*runApp, "--plugin", plugin,
              "the plugin library to load (default: the one beside kestova-sim)", "PATH");
  for (CLI::Option* flag : {traceOption, jsonOption}) flag->disable_flag_override();

  std::string settings;
  CLI::App* checkApp =
      app.add_subcommand("check", kCheckHelp)->allow_extras()->footer(kCheckStatus);
  checkApp->add_option("SETTINGS", settings,
                       "the settings file or game folder (default ./Kestova.ini)");

  // No subcommand named: the words are a run's, as they have always been.
  std::vector<const char*> words(argv, argv + argc);
  const std::string first = argc > 1 ? argv[1] : "";
  if (first != "run" && first != "check" && first != "--help" && first != "-h" &&
      first != "--version") {
    words.insert(words.begin() + 1, "run");
  }
  try {
    app.parse(static_cast<int>(words.size()), words.data());
  } catch (const CLI::CallForHelp& shown) {
    std::ostringstream out;
    std::ostringstream err;
    app.exit(shown, out, err);
    return Command{ShowText{out.str()}};
  } catch (const CLI::CallForVersion& shown) {
    std::ostringstream out;
    std::ostringstream err;
    app.exit(shown, out, err);
    return Command{ShowText{out.str()}};
  } catch (const CLI::ParseError& error) {
    return commandLineError(error.what() + std::string(kSeeHelp));
  }

  if (checkApp->parsed()) {
    if (const auto problem = leftOver(*checkApp, "settings file"))
      return commandLineError(*problem);
    if (checkApp->count("SETTINGS") > 0 && settings.empty()) {
      return commandLineError("the settings path is empty");
    }
    return Command{CheckCommand{settings.empty() ? std::nullopt : std::optional(settings)}};
  }
  if (const auto problem = leftOver(*runApp, "scenario")) return commandLineError(*problem);
  if (const auto problem = repeatedOption(*runApp)) return commandLineError(*problem);
  if (runApp->count("SCENARIO") > 0) {
    if (scenario.empty()) return commandLineError("the scenario path is empty");
    run.scenarioPath = scenario;
  }
  if (runApp->count("--svg") > 0) {
    if (const auto problem = valueProblem("--svg", svg, "a file name")) {
      return commandLineError(*problem);
    }
    run.svgPath = svg;
  }
  run.pluginPath = sim::defaultPluginPath();
  if (runApp->count("--plugin") > 0) {
    if (const auto problem = valueProblem("--plugin", plugin, "a path")) {
      return commandLineError(*problem);
    }
    run.pluginPath = plugin;
  }
  run.format = json ? ReportFormat::json : trace ? ReportFormat::trace : ReportFormat::table;
  return Command{run};
}

}  // namespace cli
