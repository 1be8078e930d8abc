// ToggleSettings: the three integers of .\Kestova.ini, read once when the script starts.
#pragma once

#include <cstdint>

struct ToggleSettings {
  int32_t shortPress;  // shortest tap, inclusive, in host-timer units
  int32_t longPress;   // first press length that is no longer a tap
  bool holdMode;       // false: forced mode
};

// A missing file, section or key reads as its default: 50, 100, forced mode.
ToggleSettings readToggleSettings();
