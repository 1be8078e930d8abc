// A run as its picture shows it, tick by tick, collected as a sink from the same records the
// table is printed from, and the picture drawn of it (svg_timeline.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/run/run.h"
#include "toggle/settings_file.h"

namespace cli {

// A picture of more ticks than this would be unreadable and unbounded in memory; later ticks
// are counted but not kept.
inline constexpr size_t kMaxTimelineTicks = 2000;

struct Timeline : RunSink {
  std::string name;                                    // the scenario's
  ToggleSettings settings = settings_file::kDefaults;  // as the plugin read them
  std::vector<TickRecord> ticks;
  uint64_t totalTicks = 0;  // run, kept or not
  std::string stopped;      // why the run ended early, if it did

  void tick(const TickRecord& record, const std::vector<sim::TraceEntry>& /*calls*/) override {
    ++totalTicks;
    if (ticks.size() < kMaxTimelineTicks) ticks.push_back(record);
  }
};

// The picture of a run as SVG: one row per control and per thing the plugin sent, against tick
// and timer, with the tap window marked at each press and release.
std::string drawTimeline(const Timeline& timeline);

}  // namespace cli
