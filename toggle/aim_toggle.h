// The aim latch: tap detection, forced or hold mode, sprint/unarmed suppression, camera cancel.
#pragma once

#include <cstdint>

#include "toggle/settings.h"

struct AimToggleState {
  bool latched;         // aim toggled on
  int32_t pressTime;    // host timer at the last accepted press
  bool unarmed;         // last successful weapon query found "WEAPON_UNARMED"; forced mode only
  uint64_t weaponSlot;  // out-slot of the weapon query; low half read only after it succeeded
};

// One iteration without its closing scriptWait: the per-tick work of the loop.
void runToggleTick(const ToggleSettings& settings, AimToggleState& state);

// Reads the settings, then one iteration per host tick, each ending in scriptWait(0). Never
// returns.
[[noreturn]] void runToggleLoop();
