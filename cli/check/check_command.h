// check: what the plugin will make of a settings file or a game folder, told to a player. One
// code path for kestova-sim check and the player's KestovaCheck, so both always say the same.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/check/machine.h"
#include "cli/check/settings_check.h"
#include "common/exit_status.h"
#include "common/result.h"

namespace cli {

// A settings file as the plugin reads it, named in messages as shown. A missing file is a
// warning, with the folder searched, where the file is instead and any look-alike there.
common::Result<CheckReport> checkSettingsFile(const std::filesystem::path& path,
                                              const std::string& shown, Machine& machine);

// What kestova-sim check and the checker check: with no path, ./Kestova.ini; a folder as a game
// folder (the plugin, the host, the settings file); anything else as a settings file. The path is
// UTF-8.
common::Result<CheckReport> checkPath(const std::optional<std::string>& path, Machine& machine);

// Whether the plugin will work as checked, in one line: ready, problems that stop it, warnings.
std::string verdict(const CheckReport& report);

// The report as a player reads it: the heading, the verdict, each finding that has a fix as a
// paragraph that starts with it, the details, and the verdict again.
std::string reportText(const CheckReport& report);

// Prints the report on out, or an error as one line on err, for the program named: fine,
// warnings (a missing settings file too: the plugin then uses its defaults), or cannot read.
common::ExitStatus printCheck(const common::Result<CheckReport>& report, std::FILE* out,
                              std::FILE* err, const std::string& program);

}  // namespace cli
