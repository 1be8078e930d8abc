// Any bytes as a scenario: the parser must not crash, and what it accepts must be runnable.
#include <string>

#include "cli/run/scenario.h"
#include "common/console.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

namespace fuzzing {

int scenarioParser(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const common::Result<cli::Scenario> parsed = cli::parseScenario(text, "fuzz", "");
  if (!parsed) {
    const common::Error& error = parsed.error();
    FUZZ_CHECK(!error.message.empty(), "a rejected scenario without a message");
    FUZZ_CHECK(error.line >= 0, "line %d", error.line);
    FUZZ_CHECK(common::errorLine(error, "kestova-sim").find('\n') == std::string::npos,
               "a message over several lines");
    return 0;
  }
  const cli::Scenario& scenario = *parsed;
  FUZZ_CHECK(scenario.tickCount >= 1 && scenario.tickCount <= cli::kMaxTicks, "%llu ticks",
             static_cast<unsigned long long>(scenario.tickCount));
  uint64_t last = 0;
  for (const cli::TickLine& tick : scenario.ticks) {
    FUZZ_CHECK(tick.first > last && tick.last >= tick.first && tick.last <= scenario.tickCount,
               "tick lines out of order: %llu-%llu after %llu",
               static_cast<unsigned long long>(tick.first),
               static_cast<unsigned long long>(tick.last), static_cast<unsigned long long>(last));
    last = tick.last;
  }
  return 0;
}

}  // namespace fuzzing
