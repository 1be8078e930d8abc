// Writing values into a player's settings file, faithfully: only the values of the keys set
// change, and every other byte stays as it was (comments, order, other keys, line ends, the
// encoding). The old file is kept beside it, and the new one replaces it at once, so that an
// interrupted write leaves one or the other, never half of one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/result.h"
#include "toggle/settings_file.h"

namespace cli {

struct SettingValue {
  const settings_file::Key* key;
  int32_t value;
};

// The file's new bytes (nullopt: there is no file yet, and a new one is made), or why it cannot
// be changed faithfully. A key the file lacks goes at the end of its first [Settings] section, or
// in a new section at the end. dropUtf8Mark: remove a UTF-8 byte-order mark, which Windows
// misreads; without it such a file is refused.
common::Result<std::string> editSettings(const std::optional<std::string>& fileBytes,
                                         const std::vector<SettingValue>& values,
                                         bool dropUtf8Mark);

// Keeps the old file (if any) as Kestova.ini.bak (or .2.bak and on, when that is taken), then puts
// bytes in its place at once. Refuses, writing nothing, a folder or a read-only file. Returns the
// backup's path, empty when there was no old file.
common::Result<std::filesystem::path> replaceSettingsFile(const std::filesystem::path& path,
                                                          const std::string& bytes);

}  // namespace cli
