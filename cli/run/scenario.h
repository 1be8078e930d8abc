// Scenarios for kestova-sim: a line-based text that says what holds in the game on each tick.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "sim/simulated_game.h"

namespace cli {

struct KeyEvent {
  uint32_t key = 0;
  uint16_t arg2 = 0;
  uint8_t arg3 = 0;
  int32_t args[4] = {};
};

// What one tick line (or range) says; anything it leaves out holds its default, but for the
// timer, which without reads of its own is the clock's value, and the weapon, which stays as
// it was unless the line names one; then it is held from this tick on.
struct TickLine {
  int line = 0;  // in the scenario file, for messages
  uint64_t first = 0;
  uint64_t last = 0;
  sim::TickInputs inputs;
  bool weaponGiven = false;
  std::vector<KeyEvent> keys;  // delivered just before its first tick
};

// The inputs a tick line sets by naming them, in the order the table shows them.
struct InputFlag {
  std::string_view word;
  bool sim::TickInputs::*member;
};
inline constexpr InputFlag kInputFlags[] = {
    {"aim-down", &sim::TickInputs::aimDown}, {"aim-up", &sim::TickInputs::aimUp},
    {"sprint", &sim::TickInputs::sprint},    {"camera", &sim::TickInputs::nextCamera},
    {"wheel", &sim::TickInputs::wheel},      {"weapon-fails", &sim::TickInputs::weaponQueryFails},
};

struct Scenario {
  std::string name;  // file name, or "demo"
  // The settings file the plugin finds: none, written from "settings", or a copy of a file.
  std::optional<std::string> settingsText;
  uint32_t clockStart = 1000;
  uint32_t clockStep = 16;
  // Whether any timer value is written negative: the table then shows timers signed, and
  // otherwise unsigned, as the game's timer is.
  bool signedTimers = false;
  sim::HostOptions host;  // "junk" and "seed"
  std::string weapon = "WEAPON_PISTOL";
  uint64_t tickCount = 0;  // the last tick run
  std::vector<TickLine> ticks;
};

inline constexpr uint64_t kMaxTicks = 100'000'000;

// Parses text; baseFolder resolves a relative "settings-file". An error names the scenario as
// its `where`, and the line when there is one.
common::Result<Scenario> parseScenario(const std::string& text, const std::string& name,
                                       const std::filesystem::path& baseFolder);
common::Result<Scenario> loadScenarioFile(const std::string& path);

// Built in: idle ticks, a tap that turns the latch on, a sprint, a camera cancel.
inline constexpr char kDemoScenario[] =
    R"(# Built-in demo: a tap turns the latch on, a sprint holds aim off, the camera cancels.
settings ShortPress=50 LongPress=100 HoldADS=0
clock 1000 16
tick 1-2
tick 3 aim-down
tick 7 aim-up
tick 8-9
tick 10-11 sprint
tick 12-13
tick 14 camera
tick 15-16
)";

}  // namespace cli
