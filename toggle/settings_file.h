// The settings file's facts, in this one place: where the plugin looks, the section, each key and
// its default. The plugin reads with them; the checker, the simulator's scenarios and the tools
// name the same things through them.
#pragma once

#include <cstdint>

namespace settings_file {

// Internal linkage, not inline: each user keeps its own copy in its own read-only data, which
// keeps the plugin's bytes as they were when these were its own constants.
// Relative to the game's current folder, which is the game's own folder.
constexpr char kPluginPath[] = ".\\Kestova.ini";
// The name alone, as a player sees it.
constexpr const char* kFileName = &kPluginPath[2];
constexpr char kSection[] = "Settings";

struct Key {
  const char* name;
  int32_t fallback;  // what a missing file, section, key or empty value reads as
};

inline constexpr Key kShortPress{"ShortPress", 50};
inline constexpr Key kLongPress{"LongPress", 100};
inline constexpr Key kHoldAds{"HoldADS", 0};  // 0: forced mode; anything else: hold mode

// In the order the plugin asks for them.
inline constexpr Key kKeys[] = {kShortPress, kLongPress, kHoldAds};
inline constexpr auto kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);  // no <cstddef> for MSVC mode

}  // namespace settings_file
