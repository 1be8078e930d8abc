// Replacing a file on Linux: rename(2) puts the new file in place in one step, and no program
// holding the old one open keeps it from doing so.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/check/file_replace.h"
#include "common/console.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

// "Kestova.ini.new cannot be made (Permission denied)": the file and the system's words.
common::Error systemError(const fs::path& file, const std::string& what) {
  return common::Error(common::utf8FromPath(file.filename()) + " cannot " + what + " (" +
                       std::strerror(errno) + ")");
}

}  // namespace

common::Result<ReplaceTarget> lookAtTarget(const fs::path& path) {
  std::error_code ec;
  // Through a link, the file it names is the one the game reads; no file at all is a new one.
  const bool link = fs::symlink_status(path, ec).type() == fs::file_type::symlink;
  const fs::path file = link ? fs::canonical(path, ec) : path;
  if (link && ec) return ReplaceTarget{path, Standing::brokenLink};
  struct stat status {};
  if (stat(file.c_str(), &status) != 0) {
    if (errno == ENOENT) return ReplaceTarget{file, Standing::none};
    return systemError(file, "be looked at");
  }
  Standing standing = Standing::file;
  if (!S_ISREG(status.st_mode)) {
    standing = Standing::notAFile;
  } else if ((status.st_mode & S_IWUSR) == 0) {
    standing = Standing::readOnly;
  } else if (status.st_nlink > 1) {
    standing = Standing::hardLinked;
  }
  return ReplaceTarget{file, standing};
}

common::Result<fs::path> writeNewFile(const fs::path& target, const std::string& bytes) {
  struct stat old {};
  const mode_t mode = stat(target.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
  for (int n = 1;; ++n) {
    const fs::path fresh = numberedPath(target, n, ".new");
    const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno == EEXIST && n < kMaxNewFiles) continue;
    if (fd < 0) return systemError(fresh, "be made");
    size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
      if (count <= 0) break;
      written += static_cast<size_t>(count);
    }
    const bool whole = written == bytes.size() && fsync(fd) == 0;
    const int error = errno;
    close(fd);
    if (whole) return fresh;
    unlink(fresh.c_str());
    errno = error;
    return systemError(fresh, "be written");
  }
}

common::Status putInPlace(const fs::path& newFile, const fs::path& target) {
  if (rename(newFile.c_str(), target.c_str()) == 0) return common::Done{};
  const common::Error error =
      systemError(newFile, "be renamed to " + common::utf8FromPath(target.filename()));
  unlink(newFile.c_str());
  return error;
}

}  // namespace cli
