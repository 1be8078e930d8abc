// A settings file checked as the plugin finds it: its name and place first (missing, elsewhere,
// a look-alike or a leftover beside it), then what the plugin makes of what it says.
#pragma once

#include <filesystem>
#include <string>

#include "cli/check/findings.h"
#include "common/result.h"

namespace cli {

class Machine;  // machine.h

// A settings file as the plugin reads it, named in messages as shown. A missing file is a
// warning, with the folder searched, where the file is instead and any look-alike there.
common::Result<CheckReport> checkSettingsFile(const std::filesystem::path& path,
                                              const std::string& shown, Machine& machine);

}  // namespace cli
