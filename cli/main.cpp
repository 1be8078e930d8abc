// kestova-sim: runs the plugin in the simulated host on a scenario and shows what it did.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/check_command.h"
#include "cli/exit_status.h"
#include "cli/run/report.h"
#include "cli/run/run.h"
#include "cli/run/scenario.h"
#include "cli/run/svg_timeline.h"
#include "cli/run/timeline.h"
#include "cli/settings_check.h"
#include "sim/plugin_module.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char kUsage[] =
    "usage: kestova-sim [run] [SCENARIO] [--trace | --json] [--svg OUT.svg] [--plugin PATH]\n"
    "       kestova-sim check [SETTINGS]\n"
    "  Runs the Kestova plugin in the simulated host, tick by tick, and prints a table of\n"
    "  what it did. Without SCENARIO it runs the built-in demo.\n"
    "  --trace        also list every host call under its tick\n"
    "  --json         write JSON Lines instead of the table\n"
    "  --svg OUT.svg  also draw the run as a timeline picture (its first 2000 ticks)\n"
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
  return exitCode(cli::ExitStatus::badInput);
}

// Why the picture cannot go to path, checked before the run so that nothing is printed for a
// run whose picture would be lost; empty when it can.
std::string svgTargetProblem(const std::string& path, const std::optional<std::string>& scenario) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return "is a folder";
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec))
    return "there is no folder " + folder.string();
  if (scenario && fs::equivalent(path, *scenario, ec)) return "is the scenario itself";
  return "";
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
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
  std::optional<std::string> svgPath;
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
    } else if (arg == "--svg") {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        return fail("kestova-sim", 0, "--svg needs a file name");
      }
      svgPath = argv[++i];
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

  if (svgPath) {
    const std::string problem = svgTargetProblem(*svgPath, scenarioPath);
    if (!problem.empty()) return fail(*svgPath, 0, problem);
  }

  cli::RunOptions options;
  options.pluginPath = pluginPath;
  options.trace = true;
  const std::unique_ptr<cli::RunSink> report = cli::makeReport(format, stdout);
  // The picture is drawn from the same reports and trace as the table; the settings it marks
  // the tap window with are read as the plugin reads them, since that read is no host call.
  cli::Timeline timeline;
  timeline.name = scenario.name;
  timeline.settings = cli::readPluginSettings(scenario.settingsText);
  cli::TimelineSink timelineSink(timeline);
  cli::SinkPair both(*report, timelineSink);
  const cli::RunOutcome outcome =
      cli::runScenario(scenario, options, svgPath ? static_cast<cli::RunSink&>(both) : *report);
  if (!outcome.ok) {
    std::fflush(stdout);
    // A run that stopped part way is still worth a picture, marked as stopped.
    if (svgPath && !timeline.ticks.empty()) {
      timeline.stopped = outcome.error;
      writeFile(*svgPath, cli::drawTimeline(timeline));
    }
    // Only an error at a scenario line is the scenario's; the rest (a plugin that will not
    // load) belong to the program.
    return fail(outcome.errorLine > 0 ? scenario.name : "kestova-sim", outcome.errorLine,
                outcome.error);
  }
  cli::writeReportEnd(format, stdout, outcome);
  std::fflush(stdout);
  if (svgPath && !writeFile(*svgPath, cli::drawTimeline(timeline))) {
    return fail(*svgPath, 0, "cannot write the picture");
  }
  for (const std::string& message : outcome.protocolErrors) {
    std::fprintf(stderr, "%s: protocol error: %s\n", scenario.name.c_str(), message.c_str());
  }
  return exitCode(outcome.protocolErrors.empty() ? cli::ExitStatus::success
                                                 : cli::ExitStatus::protocolErrors);
}
