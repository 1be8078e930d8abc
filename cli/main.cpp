// kestova-sim: runs the plugin in the simulated host on a scenario and shows what it did.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "cli/check_command.h"
#include "cli/report.h"
#include "cli/run.h"
#include "cli/scenario.h"
#include "sim/plugin_module.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kExitProtocolErrors = 1;
constexpr int kExitBadInput = 2;

const char kUsage[] =
    "usage: kestova-sim [run] [SCENARIO] [--trace | --json] [--plugin PATH]\n"
    "       kestova-sim check [SETTINGS]\n"
    "  Runs the Kestova plugin in the simulated host, tick by tick, and prints a table of\n"
    "  what it did. Without SCENARIO it runs the built-in demo.\n"
    "  --trace        also list every host call under its tick\n"
    "  --json         write JSON Lines instead of the table\n"
    "  --plugin PATH  the plugin library to load (default: the one beside kestova-sim)\n"
    "Exit status: 0 done, 1 the plugin broke the host protocol, 2 bad input or no run.\n"
    "\n"
    "  check reads a settings file (default ./Kestova.ini) as the plugin does and says what\n"
    "  the plugin will make of it, one finding per line.\n"
    "Exit status: 0 it works as written, 1 warnings or no file (the plugin then uses its\n"
    "defaults), 2 the file cannot be read.\n";

int fail(const std::string& where, int line, const std::string& message) {
  if (line > 0) {
    std::fprintf(stderr, "%s:%d: %s\n", where.c_str(), line, message.c_str());
  } else {
    std::fprintf(stderr, "%s: %s\n", where.c_str(), message.c_str());
  }
  return kExitBadInput;
}

int checkMain(int argc, char** argv) {
  std::optional<std::string> path;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      return fail("kestova-sim", 0,
                  "unknown option " + arg + " for check (see kestova-sim --help)");
    } else if (arg.empty()) {
      return fail("kestova-sim", 0, "the settings path is empty");
    } else if (path) {
      return fail("kestova-sim", 0, "more than one settings file given");
    }
    path = arg;
  }
  return cli::runCheck(path.value_or(cli::kDefaultSettingsPath), stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The same bytes on every platform: no CR added before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (argc > 1 && std::strcmp(argv[1], "check") == 0) return checkMain(argc, argv);
  cli::ReportFormat format = cli::ReportFormat::table;
  std::optional<std::string> scenarioPath;
  std::string pluginPath = sim::defaultPluginPath();
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "run") == 0) first = 2;
  for (int i = first; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--trace") {
      format = cli::ReportFormat::trace;
    } else if (arg == "--json") {
      format = cli::ReportFormat::json;
    } else if (arg == "--plugin") {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        return fail("kestova-sim", 0, "--plugin needs a path");
      }
      pluginPath = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      // One line, like every other bad input, so that tools can read it.
      return fail("kestova-sim", 0, "unknown option " + arg + " (see kestova-sim --help)");
    } else if (arg.empty()) {
      return fail("kestova-sim", 0, "the scenario path is empty");
    } else if (!scenarioPath) {
      scenarioPath = arg;
    } else {
      return fail("kestova-sim", 0, "more than one scenario given");
    }
  }

  cli::Scenario scenario;
  cli::ScenarioError error;
  const bool parsed = !scenarioPath
                          ? cli::parseScenario(cli::demoScenarioText(), "demo", "", scenario, error)
                          : cli::loadScenarioFile(*scenarioPath, scenario, error);
  if (!parsed) return fail(error.file, error.line, error.message);

  cli::RunOptions options;
  options.pluginPath = pluginPath;
  options.trace = true;
  const std::unique_ptr<cli::RunSink> report = cli::makeReport(format, stdout);
  const cli::RunOutcome outcome = cli::runScenario(scenario, options, *report);
  if (!outcome.ok) {
    std::fflush(stdout);
    // Only an error at a scenario line is the scenario's; the rest (a plugin that will not
    // load) belong to the program.
    return fail(outcome.errorLine > 0 ? scenario.name : "kestova-sim", outcome.errorLine,
                outcome.error);
  }
  cli::writeReportEnd(format, stdout, outcome);
  std::fflush(stdout);
  for (const std::string& message : outcome.protocolErrors) {
    std::fprintf(stderr, "%s: protocol error: %s\n", scenario.name.c_str(), message.c_str());
  }
  return outcome.protocolErrors.empty() ? 0 : kExitProtocolErrors;
}
