// What the plugin makes of a Kestova.ini, explained for players: the three values it reads, why
// each reads as it does, the lines it never looks at, and what the values mean for a tap.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Findings in the order to show them, and the warnings among those left out.
struct Findings {
  std::vector<Finding> findings;
  size_t unshownWarnings = 0;
  size_t warnings() const;
};

struct SettingsCheck : Findings {
  // What the plugin will read: this machine's reader's values where it could be asked, else the
  // model's.
  ToggleSettings settings = settings_file::kDefaults;
  size_t unshownFindings = 0;  // line findings past the most worth showing
};

// The file's bytes, or nullopt when there is no file; and what this machine's own reader read
// from it, where there is one to ask.
SettingsCheck checkSettings(const std::optional<std::string>& fileBytes,
                            const std::optional<SystemReading>& system = std::nullopt);

}  // namespace cli
