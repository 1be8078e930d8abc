// Putting new bytes in a file's place in one step, as each system does it
// (file_replace.windows.cpp, file_replace.linux.cpp): the new file is written whole beside the old
// one under a name of its own, flushed to the disk, then renamed over it, so that a reader sees the
// old file or the new one, never a mix. The errors name the file concerned in the system's own
// words; the writer adds what to do.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/result.h"

namespace cli {

// What stands where a file is to be replaced, as the system itself tells.
enum class Standing {
  none,        // nothing yet: a new file is made
  file,        // a plain file with one name, which may be replaced
  readOnly,    // ... marked read-only
  notAFile,    // a folder, or another thing that is no plain file
  hardLinked,  // a file with more names than this one (hard links)
  link,        // Windows: a symbolic link, a junction, any reparse point
  brokenLink,  // Linux: a symbolic link to nothing
};

struct ReplaceTarget {
  std::filesystem::path file;  // what is replaced: on Linux, the file a symbolic link names
  Standing standing = Standing::none;
};

// What stands at path. On Windows from the file's own handle, not the C runtime, which reports
// no hard links there; a link is not followed, and is refused, as a rename would replace the link
// itself. On Linux a symbolic link is followed to the file it names, which is then replaced.
common::Result<ReplaceTarget> lookAtTarget(const std::filesystem::path& path);

// target's name with a number and an ending, the first without a number: Kestova.ini.new,
// Kestova.ini.2.new, ...; the names new files and backups take beside it.
inline std::filesystem::path numberedPath(std::filesystem::path target, int n, const char* ending) {
  target += (n > 1 ? "." + std::to_string(n) : std::string()) + ending;
  return target;
}
// Whether a file name is one of the new files' (".new") for target's name, both lowered alike;
// such a file is what a write cut off left behind.
inline bool isNewFileName(std::string_view name, std::string_view target) {
  constexpr std::string_view ending = ".new";
  if (!name.starts_with(target) || !name.ends_with(ending)) return false;
  const std::string_view number =
      name.substr(target.size(), name.size() - target.size() - ending.size());
  return number.empty() || (number.size() > 1 && number[0] == '.' &&
                            std::all_of(number.begin() + 1, number.end(),
                                        [](char c) { return c >= '0' && c <= '9'; }));
}
// Past this many, a folder holds leftovers by the hundred: something else is wrong.
inline constexpr int kMaxNewFiles = 100;

// Writes bytes into the first free of the new file names beside target, made exclusively (one
// already there is someone else's, or a leftover, and stays as it is), and flushes it to the
// disk. Returns its path.
common::Result<std::filesystem::path> writeNewFile(const std::filesystem::path& target,
                                                   const std::string& bytes);

// Renames newFile over target in one step; if it cannot, removes newFile and says why. On Windows
// a program holding target open without sharing its deletion (the game, a virus scan) is waited
// for a moment first, and then named as what to close.
common::Status putInPlace(const std::filesystem::path& newFile,
                          const std::filesystem::path& target);

}  // namespace cli
