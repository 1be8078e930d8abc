#include "cli/run/run.h"

#include <filesystem>

#include "common/console.h"
#include "sim/plugin_module.h"
#include "sim/simulated_host.h"

namespace cli {

common::Result<RunSummary> runScenario(const Scenario& scenario, const std::string& pluginPath,
                                       RunSink& report) {
  RunSummary summary;
  sim::SimulatedHost host(scenario.host);

  // Resolved before entering the plugin's folder, which changes the current directory.
  std::error_code ec;
  const std::string absolutePath =
      common::utf8FromPath(std::filesystem::absolute(common::pathFromUtf8(pluginPath), ec));
  if (ec) return common::Error("cannot load '" + pluginPath + "': " + ec.message());
  common::Result<sim::LoadedPlugin> loaded =
      sim::loadInFolder(host, absolutePath, scenario.settingsText);
  if (!loaded) return common::Error(loaded.error().message);
  // Checked before the report sees anything, so that a run that cannot start prints no table.
  if (host.scriptCount() == 0) return common::Error("the plugin registered no script");
  report.load(host.trace().entries);
  host.trace().entries.clear();

  sim::TickInputs& inputs = host.inputs();
  inputs.weapon = scenario.weapon;
  size_t lineIndex = 0;
  int currentLine = 0;
  for (uint64_t tick = 1; tick <= scenario.tickCount; ++tick) {
    while (lineIndex < scenario.ticks.size() && scenario.ticks[lineIndex].last < tick) ++lineIndex;
    const TickLine* line =
        lineIndex < scenario.ticks.size() && scenario.ticks[lineIndex].first <= tick
            ? &scenario.ticks[lineIndex]
            : nullptr;
    if (line != nullptr) currentLine = line->line;
    TickRecord record;
    record.tick = tick;
    std::string weapon = std::move(inputs.weapon);
    inputs = line != nullptr ? line->inputs : sim::TickInputs{};
    if (line != nullptr && line->weaponGiven) {
      record.weaponChanged = inputs.weapon != weapon;
    } else {
      inputs.weapon = std::move(weapon);
    }
    if (inputs.timerReads.empty()) {
      inputs.timerReads.assign(
          1, scenario.clockStart + static_cast<uint32_t>(tick - 1) * scenario.clockStep);
    }
    if (line != nullptr && line->first == tick) {
      for (const KeyEvent& key : line->keys) {
        host.sendKeyboardEvent(key.key, key.arg2, key.arg3, key.args[0], key.args[1], key.args[2],
                               key.args[3]);
      }
    }
    const size_t errorsBefore = host.protocolErrors().size();
    host.tick();
    record.inputs = inputs;
    record.summary = sim::summarizeTick(host.trace().entries);
    report.tick(record, host.trace().entries);
    if (summary.firstTicks.size() < kMaxTimelineTicks) summary.firstTicks.push_back(record);
    host.trace().entries.clear();
    summary.ticksRun = tick;
    if (host.scriptCount() == 0 && host.protocolErrors().size() > errorsBefore) {
      summary.stopped =
          common::Error("the plugin's script stopped: " + host.protocolErrors().back(),
                        currentLine > 0 ? scenario.name : "", currentLine);
      break;
    }
  }
  loaded->module.reset();
  report.unload(host.trace().entries);
  summary.protocolErrors = host.protocolErrors();
  if (!summary.stopped) report.end(summary);
  return summary;
}

}  // namespace cli
