// What holds in the simulated game during one tick: the controls and states a player changes
// from tick to tick, the weapon in hand, and the timer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct TickInputs {
  bool aimDown = false;     // the aim control goes down on this tick
  bool aimUp = false;       // the aim control comes up on this tick
  bool sprint = false;      // the sprint control is active
  bool nextCamera = false;  // the next-camera control is active
  bool wheel = false;       // the "WheelHUDin" state is active
  std::string weapon = "WEAPON_PISTOL";
  bool weaponQueryFails = false;
  // Successive hostTimer reads within the tick; reads past the end repeat the last value, so
  // two reads in one tick may differ or even run backwards. None: the timer reads 0.
  std::vector<uint32_t> timerReads;
};

}  // namespace sim
