// The system's own profile reader, the one the plugin calls, and the system named as the player
// knows it. Each platform answers in its own file (system_reader.windows.cpp, .linux.cpp).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "toggle/settings_file.h"

namespace cli {

enum class SystemKind { windows, wine };

// What the system's own reader read from a settings file, and which system it was.
struct SystemReading {
  SystemKind kind = SystemKind::windows;
  std::string name;  // "Windows 11 (build 22631)", "Wine 8.0": for the player
  ToggleSettings settings = settings_file::kDefaults;
};

// Which system this is, where it has a reader of its own; nullopt on Linux.
std::optional<SystemKind> thisSystemKind();

// The three keys as this system's own reader reads them from file, by its full path; nullopt
// where the system has none (Linux), and the project's model alone answers.
std::optional<SystemReading> readBySystemReader(const std::filesystem::path& file);

}  // namespace cli
