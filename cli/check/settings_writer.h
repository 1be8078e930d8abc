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

class Machine;  // machine.h

struct SettingValue {
  const settings_file::Key* key;
  int32_t value;
};

// Whether a reader read the values as they were set.
bool readsAsSet(const ToggleSettings& reads, const std::vector<SettingValue>& values);

// "ShortPress=60 and LongPress=230": the values as lines, with between them what is given.
std::string settingLines(const std::vector<SettingValue>& values, const char* between);

// The file's new bytes (nullopt: there is no file yet, and a new one is made), or why it cannot
// be changed faithfully. A key the file lacks goes at the end of its first [Settings] section, or
// in a new section at the end. dropUtf8Mark: remove a UTF-8 byte-order mark, which Windows
// misreads; without it such a file is refused.
common::Result<std::string> editSettings(const std::optional<std::string>& fileBytes,
                                         const std::vector<SettingValue>& values,
                                         bool dropUtf8Mark);

// Puts bytes, which set values, in the settings file's place in one step (file_replace.h), keeping
// the old file (if any) as Kestova.ini.bak (or .2.bak and on, when that is taken). Before the new
// file replaces the old, the machine's own reader reads it, where there is one: if it does not
// read the values as written, nothing is replaced. Refuses, writing nothing, a folder, a
// read-only file, a file with other names (hard links), and on Windows a link. Returns the
// backup's path, empty when there was no old file; on any failure the old file is as it was and
// nothing made for the write is left.
common::Result<std::filesystem::path> replaceSettingsFile(const std::filesystem::path& path,
                                                          const std::string& bytes,
                                                          const std::vector<SettingValue>& values,
                                                          Machine& machine);

}  // namespace cli
