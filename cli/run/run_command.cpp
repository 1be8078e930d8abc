#include "cli/run/run_command.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/run/picture_file.h"
#include "cli/run/report.h"
#include "common/console.h"

namespace cli {
namespace {

common::ExitStatus fail(const common::Error& error) {
  common::writeError(stderr, error, kProgramName);
  return common::ExitStatus::badInput;
}

// A plugin that breaks the protocol on every tick would bury its one mistake in thousands of
// lines: each distinct message once, in the order first seen, with how often it came.
void printProtocolErrors(const std::string& scenario, const std::vector<std::string>& messages) {
  std::vector<std::pair<std::string, size_t>> distinct;
  for (const std::string& message : messages) {
    const auto seen = std::find_if(distinct.begin(), distinct.end(),
                                   [&](const auto& known) { return known.first == message; });
    if (seen != distinct.end()) {
      ++seen->second;
    } else {
      distinct.emplace_back(message, 1);
    }
  }
  for (const auto& [text, count] : distinct) {
    const std::string times = count > 1 ? " (" + std::to_string(count) + " times)" : "";
    std::fprintf(stderr, "%s: protocol error: %s%s\n", scenario.c_str(), text.c_str(),
                 times.c_str());
  }
}

}  // namespace

common::ExitStatus runCommand(const RunArguments& command) {
  const common::Result<Scenario> scenario = command.scenarioPath
                                                ? loadScenarioFile(*command.scenarioPath)
                                                : parseScenario(kDemoScenario, "demo", "");
  if (!scenario) return fail(scenario.error());

  std::optional<PictureFile> picture;
  if (command.svgPath) {
    picture.emplace(*command.svgPath);
    if (const common::Status opened = picture->open(command.scenarioPath); !opened) {
      return fail(opened.error());
    }
  }

  const std::unique_ptr<RunSink> report =
      command.json ? makeJsonReport(stdout, *scenario)
                   : makeTableReport(stdout, command.trace, scenario->signedTimers);
  const common::Result<RunSummary> run = runScenario(*scenario, command.pluginPath, *report);
  if (!run) return fail(run.error());

  std::fflush(stdout);
  if (run->stopped) common::writeError(stderr, *run->stopped, kProgramName);
  // The picture is drawn from the same records as the table; a run that stopped part way is
  // still worth one, marked as stopped.
  if (picture) {
    if (const common::Status drawn = picture->write(drawTimeline(*scenario, *run)); !drawn) {
      return fail(drawn.error());
    }
  }
  if (run->stopped) return common::ExitStatus::protocolErrors;
  printProtocolErrors(scenario->name, run->protocolErrors);
  return run->protocolErrors.empty() ? common::ExitStatus::success
                                     : common::ExitStatus::protocolErrors;
}

}  // namespace cli
