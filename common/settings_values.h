// The settings as the plugin reads them from a settings file's bytes, with the project's model of
// the profile reader (profile/), key by key through the settings file's table. For the tools; on
// Windows the checker also asks the system's own reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "profile/profile_reader.h"
#include "toggle/settings_file.h"

namespace common {

inline int32_t readSetting(std::string_view fileBytes, const settings_file::Key& key) {
  return static_cast<int32_t>(profile::readInt(profile::MemoryBytes{fileBytes},
                                               settings_file::kSection, key.name,
                                               static_cast<uint32_t>(key.fallback)));
}

// nullopt: there is no file, and every key reads its default.
inline ToggleSettings readSettings(const std::optional<std::string>& fileBytes) {
  ToggleSettings settings = settings_file::kDefaults;
  if (!fileBytes) return settings;
  for (const settings_file::Key& key : settings_file::kKeys) {
    settings.*key.member = readSetting(*fileBytes, key);
  }
  return settings;
}

// "ShortPress, LongPress and HoldADS": the keys as messages list them; with " or " and "=N",
// "ShortPress=N, LongPress=N or HoldADS=N".
inline std::string keyNames(const char* beforeLast = " and ", const char* afterEach = "") {
  std::string text;
  for (size_t k = 0; k < settings_file::kKeyCount; ++k) {
    text += k == 0 ? "" : k + 1 == settings_file::kKeyCount ? beforeLast : ", ";
    text += std::string(settings_file::kKeys[k].name) + afterEach;
  }
  return text;
}

// "LongPress=170": a key's line as the settings file has it.
inline std::string settingLine(const settings_file::Key& key, int32_t value) {
  return std::string(key.name) + "=" + std::to_string(value);
}

// "ShortPress 60, LongPress 170, HoldADS 0": the values as messages name them.
inline std::string settingsText(const ToggleSettings& settings) {
  std::string text;
  for (const settings_file::Key& key : settings_file::kKeys) {
    text += (text.empty() ? "" : ", ") + std::string(key.name) + " " +
            std::to_string(settings.*key.member);
  }
  return text;
}

// How a settings file's bytes are encoded, by its byte-order mark, as the reader tells.
inline profile::TextEncoding encodingOf(std::string_view fileBytes) {
  const profile::MemoryBytes bytes{fileBytes};
  return profile::UnitText(bytes).encoding();
}

}  // namespace common
