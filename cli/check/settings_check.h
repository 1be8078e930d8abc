// What the plugin makes of a Kestova.ini, explained for players: the three values it reads, why
// each reads as it does, the lines it never looks at, and what the values mean for a tap.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/check/machine.h"
#include "toggle/settings_file.h"

namespace cli {

enum class Severity { note, warning };

struct Finding {
  Severity severity = Severity::note;
  std::string text;  // "subject: what and why", one line
};

// What a check found, in the order to show them, and what it means for the plugin.
struct CheckReport {
  std::vector<Finding> findings;
  size_t unshownWarnings = 0;  // the warnings among findings left out
  // What the plugin will read: this machine's reader's values where it could be asked, else the
  // model's.
  ToggleSettings settings = settings_file::kDefaults;
  // For a settings file or game folder checked (check_command.h): the settings file, and why
  // writing it would not change what the plugin reads, if it would not: the file the player
  // meant is elsewhere, or a look-alike of it is about, or the folder is not the game's.
  std::filesystem::path settingsPath;
  std::string notWhereRead;
  std::string subject;     // what was checked, as the closing line names it
  std::string whenFine;    // the closing line's words with no warning
  std::string whenWarned;  // ... and with warnings

  size_t warnings() const;
};

// The file's bytes, or nullopt when there is no file; and what this machine's own reader read
// from it, where there is one to ask.
CheckReport checkSettings(const std::optional<std::string>& fileBytes,
                          const std::optional<SystemReading>& system = std::nullopt);

}  // namespace cli
