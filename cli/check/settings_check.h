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

// note: how things are; warning: the plugin may not do what the player meant; problem: it will
// not work here at all. Warnings and problems alike make the check's status 1.
enum class Severity { note, warning, problem };

struct Finding {
  Severity severity = Severity::note;
  std::string text;  // "subject: what and why", one line
  // What to do, as a sentence. A finding with one leads the report, as a paragraph that starts
  // with it; the others are the details that follow.
  std::string fix = "";
};

// What a check found, in the order to show them, and what it means for the plugin.
struct CheckReport {
  std::string heading;  // the line before all else: the folder checked, if it was one
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
  bool gameFolder = false;  // a game folder was checked, not a settings file alone
  std::string subject;      // the settings file, as the verdict names it
  std::string whenWarned;   // ... and what warnings about it mean

  size_t warnings() const;  // problems too
  size_t problems() const;
};

// The file's bytes, or nullopt when there is no file; and what this machine's own reader read
// from it, where there is one to ask.
CheckReport checkSettings(const std::optional<std::string>& fileBytes,
                          const std::optional<SystemReading>& system = std::nullopt);

}  // namespace cli
