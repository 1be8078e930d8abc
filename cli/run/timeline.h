// A run as its picture shows it, tick by tick, collected as a sink from the same records and
// trace the table is printed from.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/run/run.h"
#include "toggle/settings_file.h"

namespace cli {

// A picture of more ticks than this would be unreadable and unbounded in memory; later ticks
// are counted but not kept.
inline constexpr size_t kMaxTimelineTicks = 2000;

// What the plugin's weapon query found on a tick.
enum class WeaponSeen : uint8_t { notAsked, failed, armed, unarmed };

// A tick as the run recorded it, and what the picture reads from its calls besides.
struct TimelineTick : TickRecord {
  // The plugin's own timer reads on the tick, in order (a press, then the two ends of the
  // tap window); only the first few matter.
  std::array<uint32_t, 3> timerSeen{};
  uint8_t timerSeenCount = 0;
  WeaponSeen weapon = WeaponSeen::notAsked;
  uint32_t protocolErrors = 0;

  // The tick's first timer value, which the axis shows and a release is timed by.
  uint32_t timer() const { return inputs.timerReads.empty() ? 0 : inputs.timerReads.front(); }
};

struct Timeline {
  std::string name;                                    // the scenario's
  ToggleSettings settings = settings_file::kDefaults;  // as the plugin read them
  std::vector<TimelineTick> ticks;
  uint64_t totalTicks = 0;  // run, kept or not
  std::string stopped;      // why the run ended early, if it did
};

class TimelineSink : public RunSink {
 public:
  explicit TimelineSink(Timeline& timeline) : timeline_(timeline) {}
  void tick(const TickRecord& record, const std::vector<sim::TraceEntry>& entries) override;

 private:
  Timeline& timeline_;
};

}  // namespace cli
