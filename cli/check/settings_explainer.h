// What the plugin makes of a Kestova.ini, explained for players: the three values it reads, why
// each reads as it does, the lines it never looks at, and what the values mean for a tap.
#pragma once

#include <optional>
#include <string>

#include "cli/check/findings.h"
#include "cli/check/system_reader.h"

namespace cli {

// The file's bytes, or nullopt when there is no file; and what this machine's own reader read
// from it, where there is one to ask.
CheckReport checkSettings(const std::optional<std::string>& fileBytes,
                          const std::optional<SystemReading>& system = std::nullopt);

}  // namespace cli
