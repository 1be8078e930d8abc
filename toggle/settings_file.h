// The settings file's facts, in this one place: where the plugin looks, the section, and each key
// with its default and the member of ToggleSettings it fills. The plugin reads with them; the
// checker, the simulator's scenarios, reports and pictures, and the benchmarks name the same
// things through them.
#pragma once

#include <cstdint>

// The three integers of .\Kestova.ini, read once when the script starts. Each is the reader's
// 32 bits taken as signed; holdMode keeps HoldADS as read, so that the tools can show it, and
// the plugin takes it as a truth value.
struct ToggleSettings {
  int32_t shortPress;  // shortest tap, inclusive, in host-timer units
  int32_t longPress;   // first press length that is no longer a tap
  int32_t holdMode;    // HoldADS: 0 forced mode, anything else hold mode
  bool operator==(const ToggleSettings&) const = default;
};

namespace settings_file {

// Internal linkage, not inline: each user keeps its own copy in its own read-only data, which
// keeps the plugin's bytes as they were when these were its own constants.
// Relative to the game's current folder, which is the game's own folder.
constexpr char kPath[] = ".\\Kestova.ini";
// The name alone, as a player sees it.
constexpr const char* kFileName = &kPath[2];
constexpr char kSection[] = "Settings";

struct Key {
  const char* name;
  int32_t fallback;  // what a missing file, section, key or empty value reads as
  int32_t ToggleSettings::*member;
};

inline constexpr Key kShortPress{"ShortPress", 50, &ToggleSettings::shortPress};
inline constexpr Key kLongPress{"LongPress", 100, &ToggleSettings::longPress};
inline constexpr Key kHoldAds{"HoldADS", 0, &ToggleSettings::holdMode};

// In the order the plugin asks for them.
inline constexpr Key kKeys[] = {kShortPress, kLongPress, kHoldAds};
inline constexpr auto kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);  // no <cstddef> for MSVC mode

// What the plugin reads with no file, or none of the keys.
inline constexpr ToggleSettings kDefaults{kShortPress.fallback, kLongPress.fallback,
                                          kHoldAds.fallback};

}  // namespace settings_file
