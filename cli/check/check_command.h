// check: what the plugin will make of a settings file or a game folder, told to a player. One
// code path for kestova-sim check and the player's KestovaCheck, so both always say the same.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/check/settings_check.h"
#include "sim/result.h"

namespace cli {

struct CheckReport {
  std::vector<Finding> findings;  // one line each, in the order to show them
  size_t unshownWarnings = 0;     // warnings among findings left out
  std::string subject;            // what was checked, as the closing line names it
  std::string whenFine;           // the closing line's words with no warning
  std::string whenWarned;         // ... and with warnings
  size_t warnings() const;
};

// A settings file as the plugin reads it, named in messages as shown. A missing file is a
// warning, with the folder searched and any look-alike there.
sim::Result<CheckReport> checkSettingsFile(const std::filesystem::path& path,
                                           const std::string& shown);

// What kestova-sim check and the checker check: with no path, ./Kestova.ini; a folder as a game
// folder (the plugin, the host, the settings file); anything else as a settings file. The path is
// UTF-8.
sim::Result<CheckReport> checkPath(const std::optional<std::string>& path);

// Prints the findings and the closing line on out, or an error as one line on err, and returns
// the exit status: 0 fine, 1 warnings (a missing settings file too: the plugin then uses its
// defaults), 2 cannot read.
int printCheck(const sim::Result<CheckReport>& report, std::FILE* out, std::FILE* err);

// printCheck(checkPath(path)), for kestova-sim check.
int runCheck(const std::optional<std::string>& path, std::FILE* out, std::FILE* err);

}  // namespace cli
