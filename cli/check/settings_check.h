// What the plugin makes of a Kestova.ini, explained for players: the three values it reads, why
// each reads as it does, the lines it never looks at, and what the values mean for a tap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toggle/settings_file.h"

namespace cli {

// The three values as the plugin reads them: 32 bits taken as signed.
struct PluginSettings {
  int32_t shortPress = settings_file::kShortPress.fallback;
  int32_t longPress = settings_file::kLongPress.fallback;
  int32_t holdAds = settings_file::kHoldAds.fallback;
  bool holdMode() const { return holdAds != 0; }
  bool operator==(const PluginSettings&) const = default;
};

// What the plugin reads from a settings file's bytes, or from no file (nullopt), key by key
// with the profile reader's rules, as it asks for them.
PluginSettings readPluginSettings(const std::optional<std::string>& fileBytes);

enum class Severity { note, warning };

struct Finding {
  Severity severity = Severity::note;
  std::string text;  // "subject: what and why", one line
};

struct SettingsCheck {
  PluginSettings settings;
  std::vector<Finding> findings;  // in the order to show them
  size_t unshownFindings = 0;     // line findings past the most worth showing
  size_t unshownWarnings = 0;
  size_t warnings() const;
};

// The file's bytes, or nullopt when there is no file.
SettingsCheck checkSettings(const std::optional<std::string>& fileBytes);

}  // namespace cli
