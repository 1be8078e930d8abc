// What kestova-sim check and the player's checker check: a game folder as the plugin finds it
// when the game starts there (the plugin, the host that loads it, the settings file, and where
// each is instead), or a settings file alone. One code path for both programs, so that both
// always say the same.
#pragma once

#include <optional>
#include <string>

#include "cli/check/findings.h"
#include "common/result.h"

namespace cli {

class Machine;  // machine.h

// With no path, ./Kestova.ini; a folder as a game folder; anything else as a settings file. The
// path is UTF-8.
common::Result<CheckReport> checkPath(const std::optional<std::string>& path, Machine& machine);

}  // namespace cli
