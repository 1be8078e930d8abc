// Replacing a file on Windows, and so under Wine: asked through the file's own handle, written
// with CreateFileW, put in place with MoveFileExW. A program may hold the old file open without
// sharing its deletion (the game reading it, a virus scan), which keeps any rename from replacing
// it until it lets go.
#include <windows.h>

#include <chrono>

#include "cli/check/file_replace.h"
#include "common/console.h"
#include "common/windows_api.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

// The system's own words for an error, and its number.
std::string systemText(DWORD code) {
  return common::systemMessage(code) + "; Windows error " + std::to_string(code);
}

// "Kestova.ini.new cannot be made (Access is denied; Windows error 5)".
common::Error systemError(const fs::path& file, const std::string& what, DWORD code) {
  return common::Error(common::utf8FromPath(file.filename()) + " cannot " + what + " (" +
                       systemText(code) + ")");
}

// Whether another program holds the file open without sharing its deletion: then it cannot be
// opened for deletion either, which the rename needs of it.
bool heldOpen(const fs::path& file) {
  const HANDLE handle =
      CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(handle);
  return false;
}

// How long a program holding the file is waited for: a virus scan lets go within moments; the
// game does not, and is worth no longer wait.
constexpr auto kHoldWait = std::chrono::seconds(2);

}  // namespace

common::Result<ReplaceTarget> lookAtTarget(const fs::path& path) {
  // Attributes alone are asked for, which no program's sharing keeps from being read; the link
  // itself is opened, not what it names, and a folder too.
  const HANDLE handle = CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return ReplaceTarget{path, Standing::none};
    return systemError(path, "be looked at", error);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  const DWORD error = GetLastError();
  CloseHandle(handle);
  if (!known) return systemError(path, "be looked at", error);
  const DWORD attributes = info.dwFileAttributes;
  Standing standing = Standing::file;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    standing = Standing::link;
  } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    standing = Standing::notAFile;
  } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    standing = Standing::readOnly;
  } else if (info.nNumberOfLinks > 1) {
    standing = Standing::hardLinked;
  }
  return ReplaceTarget{path, standing};
}

common::Result<fs::path> writeNewFile(const fs::path& target, const std::string& bytes) {
  for (int n = 1;; ++n) {
    const fs::path fresh = numberedPath(target, n, ".new");
    const HANDLE file = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      // Anything of that name, a folder too, is someone else's.
      const bool taken = error == ERROR_FILE_EXISTS ||
                         GetFileAttributesW(fresh.c_str()) != INVALID_FILE_ATTRIBUTES;
      if (taken && n < kMaxNewFiles) continue;
      return systemError(fresh, "be made", error);
    }
    DWORD written = 0;
    const bool whole =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size() && FlushFileBuffers(file) != 0;
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (whole) return fresh;
    DeleteFileW(fresh.c_str());
    return systemError(fresh, "be written", error);
  }
}

common::Status putInPlace(const fs::path& newFile, const fs::path& target) {
  // Within one folder, a rename that replaces its target is one step.
  const auto giveUp = std::chrono::steady_clock::now() + kHoldWait;
  DWORD error = ERROR_SUCCESS;
  for (;;) {
    if (MoveFileExW(newFile.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
      return common::Done{};
    }
    error = GetLastError();
    const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                      error == ERROR_LOCK_VIOLATION;
    if (!busy || std::chrono::steady_clock::now() >= giveUp) break;
    Sleep(50);
  }
  const bool held = heldOpen(target);
  DeleteFileW(newFile.c_str());
  if (held) {
    return common::Error("another program, the game or a virus scan perhaps, holds " +
                         common::utf8FromPath(target.filename()) + " open (" + systemText(error) +
                         "): close the game or the program holding it, and try again");
  }
  return systemError(newFile, "be renamed to " + common::utf8FromPath(target.filename()), error);
}

}  // namespace cli
