// The checker's look at a game folder, as the plugin finds it there: Kestova.dll, the host that
// loads it, then the settings file and the look-alikes a player may have made of it; and, where
// one is missing, where it is instead, one folder up or down.
#pragma once

#include <filesystem>
#include <string>

#include "cli/check/check_command.h"

namespace cli {

inline constexpr char kPluginDll[] = "Kestova.dll";
inline constexpr char kHostDll[] = "ScriptHookVask.dll";

// folder is named in messages as shown.
common::Result<CheckReport> checkGameFolder(const std::filesystem::path& folder,
                                            const std::string& shown, Machine& machine);

}  // namespace cli
