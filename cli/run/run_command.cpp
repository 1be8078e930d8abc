#include "cli/run/run_command.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/error_line.h"
#include "cli/exit_status.h"
#include "cli/run/picture_file.h"
#include "cli/run/svg_timeline.h"
#include "cli/run/timeline.h"

namespace cli {
namespace {

int fail(const sim::Error& error) {
  printErrorLine(stderr, error);
  return exitCode(ExitStatus::badInput);
}

// A plugin that breaks the protocol on every tick would bury its one mistake in thousands of
// lines: each distinct message once, in the order first seen, with how often it came.
void printProtocolErrors(const std::string& scenario, const std::vector<std::string>& messages) {
  std::vector<std::pair<std::string, size_t>> distinct;
  for (const std::string& message : messages) {
    bool seen = false;
    for (auto& [text, count] : distinct) {
      if (text == message) {
        ++count;
        seen = true;
        break;
      }
    }
    if (!seen) distinct.emplace_back(message, 1);
  }
  for (const auto& [text, count] : distinct) {
    const std::string times = count > 1 ? " (" + std::to_string(count) + " times)" : "";
    std::fprintf(stderr, "%s: protocol error: %s%s\n", scenario.c_str(), text.c_str(),
                 times.c_str());
  }
}

}  // namespace

int runCommand(const RunCommand& command) {
  const sim::Result<Scenario> scenario = command.scenarioPath
                                             ? loadScenarioFile(*command.scenarioPath)
                                             : parseScenario(demoScenarioText(), "demo", "");
  if (!scenario) return fail(scenario.error());

  std::optional<PictureFile> picture;
  if (command.svgPath) {
    sim::Result<PictureFile> opened = PictureFile::open(*command.svgPath, command.scenarioPath);
    if (!opened) return fail(opened.error());
    picture.emplace(std::move(opened).value());
  }

  // The settings are read as the plugin reads them, since that read is no host call: the JSON
  // report and the picture's tap window show them.
  const PluginSettings settings = readPluginSettings(scenario->settingsText);
  const std::unique_ptr<RunSink> report = makeReport(
      command.format, stdout, RunHeading{scenario->name, settings, scenario->signedTimers});
  // The picture is drawn from the same reports and trace as the table.
  Timeline timeline;
  timeline.name = scenario->name;
  timeline.settings = settings;
  TimelineSink timelineSink(timeline);
  SinkPair both(*report, timelineSink);
  RunOptions options;
  options.pluginPath = command.pluginPath;
  options.trace = true;
  const sim::Result<RunSummary> run =
      runScenario(*scenario, options, picture ? static_cast<RunSink&>(both) : *report);
  if (!run) return fail(run.error());

  if (run->stopped) {
    std::fflush(stdout);
    printErrorLine(stderr, *run->stopped);
    // A run that stopped part way is still worth a picture, marked as stopped.
    if (picture && !timeline.ticks.empty()) {
      timeline.stopped = run->stopped->message;
      if (const sim::Status drawn = picture->write(drawTimeline(timeline)); !drawn) {
        return fail(drawn.error());
      }
    }
    return exitCode(ExitStatus::protocolErrors);
  }
  writeReportEnd(command.format, stdout, *run);
  std::fflush(stdout);
  if (picture) {
    if (const sim::Status drawn = picture->write(drawTimeline(timeline)); !drawn) {
      return fail(drawn.error());
    }
  }
  printProtocolErrors(scenario->name, run->protocolErrors);
  return exitCode(run->protocolErrors.empty() ? ExitStatus::success : ExitStatus::protocolErrors);
}

}  // namespace cli
