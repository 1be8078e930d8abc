// The checker's look at a game folder, as the plugin finds it there: Kestova.dll, the host that
// loads it, then the settings file and the look-alikes a player may have made of it.
#pragma once

#include <filesystem>
#include <string>

#include "cli/check/check_command.h"

namespace cli {

inline constexpr char kPluginFileName[] = "Kestova.dll";
inline constexpr char kHostFileName[] = "ScriptHookVask.dll";

// folder is named in messages as shown.
sim::Result<CheckReport> checkGameFolder(const std::filesystem::path& folder,
                                         const std::string& shown);

}  // namespace cli
