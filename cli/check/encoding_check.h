// The encodings Windows and Wine read differently, said for players: what each makes of the file.
#pragma once

#include <optional>
#include <string>

#include "cli/check/settings_check.h"

namespace cli {

// A finding about the file's encoding when a player should know it, else nullopt.
std::optional<Finding> encodingFinding(const std::string& fileBytes);

}  // namespace cli
