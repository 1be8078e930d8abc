// Which reader answered, and what each system reads: this machine's own profile reader beside
// the project's model of it, and the encodings Windows and Wine read differently, each side said
// as measured here or as known from elsewhere.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/check/settings_explainer.h"
#include "cli/check/system_reader.h"

namespace cli {

// The reader's line, a warning for each key where this machine's reader and the model differ,
// and the file's encoding when a player should know it, NUL bytes too.
std::vector<Finding> readerFindings(const std::string& fileBytes,
                                    const std::optional<SystemReading>& system);

}  // namespace cli
