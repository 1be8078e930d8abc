// What holds in the simulated game during one tick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// The controls and states a player changes from tick to tick; scenarios, runs and their
// reports hand these on as one.
struct TickControls {
  bool aimDown = false;     // the aim control goes down on this tick
  bool aimUp = false;       // the aim control comes up on this tick
  bool sprint = false;      // the sprint control is active
  bool nextCamera = false;  // the next-camera control is active
  bool wheel = false;       // the "WheelHUDin" state is active
};

struct TickInputs : TickControls {
  std::string weapon = "WEAPON_PISTOL";
  bool weaponQueryFails = false;
  // Successive hostTimer reads within the tick; reads past the end repeat the last value, so
  // two reads in one tick may differ or even run backwards.
  std::vector<uint32_t> timerReads{0};
};

}  // namespace sim
