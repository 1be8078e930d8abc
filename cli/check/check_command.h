// kestova-sim check: reads a Kestova.ini as the plugin would and tells a player what it will do.
#pragma once

#include <cstdio>
#include <string>

namespace cli {

inline constexpr char kDefaultSettingsPath[] = "./Kestova.ini";

// Writes one finding per line to out and returns the exit status: 0 when the file works as
// written, 1 with warnings (a missing file too: the plugin then uses its defaults), 2 when the
// file cannot be read at all, with one line on err.
int runCheck(const std::string& path, std::FILE* out, std::FILE* err);

}  // namespace cli
