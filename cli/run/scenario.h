// Scenarios for kestova-sim: a line-based text that says what holds in the game on each tick.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// What one tick line (or range) says; anything it leaves out holds its default.
struct TickLine {
  int line = 0;  // in the scenario file, for messages
  uint64_t first = 0;
  uint64_t last = 0;
  bool aimDown = false;
  bool aimUp = false;
  bool sprint = false;
  bool nextCamera = false;
  bool wheel = false;
  bool weaponQueryFails = false;
  std::optional<std::string> weapon;  // held from this tick on
  std::vector<uint32_t> timerReads;   // empty: the clock's value
};

struct KeyEvent {
  int line = 0;
  uint64_t beforeTick = 0;  // delivered just before this tick
  uint32_t key = 0;
  uint16_t arg2 = 0;
  uint8_t arg3 = 0;
  int32_t args[4] = {};
};

struct Scenario {
  std::string name;  // file name, or "demo"
  // The settings file the plugin finds: none, written from "settings", or a copy of a file.
  std::optional<std::string> settingsText;
  uint32_t clockStart = 1000;
  uint32_t clockStep = 16;
  bool junkResults = false;
  uint64_t seed = 1;
  std::string weapon = "WEAPON_PISTOL";
  uint64_t tickCount = 0;  // the last tick run
  std::vector<TickLine> ticks;
  std::vector<KeyEvent> keyEvents;
};

// A scenario that will not parse: where and why.
struct ScenarioError {
  std::string file;
  int line = 0;
  std::string message;
  std::string text() const;
};

inline constexpr uint64_t kMaxTicks = 100'000'000;

// Parses text; baseFolder resolves a relative "settings-file".
bool parseScenario(const std::string& text, const std::string& name, const std::string& baseFolder,
                   Scenario& scenario, ScenarioError& error);
bool loadScenarioFile(const std::string& path, Scenario& scenario, ScenarioError& error);

// Built in: idle ticks, a tap that turns the latch on, a sprint, a camera cancel.
const char* demoScenarioText();

}  // namespace cli
