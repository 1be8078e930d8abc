// Files a player meant to be Kestova.ini but the plugin never reads: Kestova.ini.txt (Windows
// hides known endings, so it shows as Kestova.ini), Kestova.txt, Kestova.ini.ini, Kestova (1).ini.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/check/settings_check.h"

namespace cli {

// Enough for any game's folder; past it, a folder is no game's, and the check stays quick.
inline constexpr size_t kMaxFolderEntries = 4096;

struct LookAlike {
  std::string name;  // as it is in the folder, UTF-8
  std::string why;   // what it is, in a player's words
};

// The look-alikes of wanted (a name such as "Kestova.ini") among folder's files, in name order.
std::vector<LookAlike> findLookAlikes(const std::filesystem::path& folder,
                                      const std::string& wanted);

// A warning for each look-alike of wanted in folder, with the one step that fixes it; wantedExists
// says whether wanted is there too.
void addLookAlikes(const std::filesystem::path& folder, const std::string& wanted,
                   bool wantedExists, std::vector<Finding>& findings);

// Whether name is wanted itself, as Windows compares file names.
bool sameFileName(const std::string& name, const std::string& wanted);

}  // namespace cli
