// A player's small file read whole, by any name the system allows, or said why it cannot be.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "common/result.h"

namespace cli {

// Far past any settings file; a bigger one is surely something else.
inline constexpr size_t kMaxSettingsBytes = size_t{64} << 20;

// A small file's bytes, nullopt when there is no such file, or why it cannot be read (a folder,
// something that is not a file, no permission, larger than maxBytes) as the error's message. kind
// names what the file should be: "settings file".
common::Result<std::optional<std::string>> readFileBytes(const std::filesystem::path& path,
                                                         size_t maxBytes, const std::string& kind);

}  // namespace cli
