// Which reader answered, and what each system reads: this machine's own profile reader beside
// the project's model of it, and the encodings Windows and Wine read differently, each side said
// as measured here or as known from elsewhere.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/check/machine.h"
#include "cli/check/settings_check.h"

namespace cli {

// What the project's model says the plugin reads from these bytes on that kind of system: Wine
// reads a UTF-8 or UTF-16 big-endian mark, Windows does not.
ToggleSettings modelReading(const std::string& fileBytes, SystemKind kind);

// The reader's line, a warning for each key where this machine's reader and the model differ,
// and the file's encoding when a player should know it, NUL bytes too.
std::vector<Finding> readerFindings(const std::string& fileBytes,
                                    const std::optional<SystemReading>& system);

}  // namespace cli
