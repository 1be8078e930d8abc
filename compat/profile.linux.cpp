// GetPrivateProfileIntA for non-Windows builds: the file is read through a small window on the
// stack, so any file size is fine and nothing is allocated.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <climits>

#include "compat/profile_reader.h"

namespace {

class FileBytes {
 public:
  FileBytes(int fd, size_t size) : fd_(fd), size_(size) {}
  size_t count() const { return size_; }

  unsigned char at(size_t index) const {
    if (index < windowStart_ || index >= windowStart_ + windowLength_) fill(index);
    // A file that shrank while being read shows line ends where its bytes went.
    return index - windowStart_ < windowLength_ ? window_[index - windowStart_] : '\n';
  }

 private:
  void fill(size_t index) const {
    // Start a little before the index: the reader also walks backwards over a line's end.
    windowStart_ = index > sizeof(window_) / 2 ? index - sizeof(window_) / 2 : 0;
    const ssize_t got = pread(fd_, window_, sizeof(window_), static_cast<off_t>(windowStart_));
    windowLength_ = got > 0 ? static_cast<size_t>(got) : 0;
  }

  int fd_;
  size_t size_;
  mutable unsigned char window_[4096] = {};
  mutable size_t windowStart_ = 0;
  mutable size_t windowLength_ = 0;
};

// The name with '\' taken as a separator. A name with no folder part is looked up in the
// Windows directory, which this system has none of.
bool toLocalPath(const char* fileName, char (&path)[PATH_MAX]) {
  bool hasFolder = false;
  size_t i = 0;
  for (; fileName[i] != '\0'; ++i) {
    if (i + 1 >= sizeof(path)) return false;
    const bool separator = fileName[i] == '\\' || fileName[i] == '/';
    hasFolder = hasFolder || separator;
    path[i] = separator ? '/' : fileName[i];
  }
  path[i] = '\0';
  return hasFolder;
}

}  // namespace

extern "C" UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT fallback,
                                      LPCSTR fileName) {
  const UINT defaultValue = static_cast<UINT>(fallback);
  char path[PATH_MAX];
  if (appName == nullptr || keyName == nullptr || fileName == nullptr ||
      !toLocalPath(fileName, path)) {
    return defaultValue;
  }
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return defaultValue;
  struct stat info {};
  UINT result = defaultValue;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    const FileBytes bytes(fd, static_cast<size_t>(info.st_size));
    result = profile::readInt(bytes, appName, keyName, defaultValue);
  }
  close(fd);
  return result;
}
