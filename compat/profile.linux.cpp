// GetPrivateProfileIntA for non-Windows builds: the file is read through a small window on the
// stack, so any file size is fine and nothing is allocated.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <climits>

#include "profile/profile_reader.h"

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

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

// The name as a path here, or false when it cannot be looked up. '\' is a separator, and "."
// and "folder\.." are folded away by spelling alone, as Windows does before it looks at the disk:
// "missing\..\x.ini" is x.ini even with no folder "missing". A name with no folder part is
// looked up in the Windows directory, which this system has none of.
bool toLocalPath(const char* fileName, char (&path)[PATH_MAX]) {
  bool hasFolder = false;
  for (const char* c = fileName; *c != '\0'; ++c) hasFolder = hasFolder || isSeparator(*c);
  if (!hasFolder) return false;

  // path holds the root, if any, then each kept part followed by '/'.
  size_t length = 0;
  if (isSeparator(fileName[0])) path[length++] = '/';
  const size_t root = length;
  size_t named = 0;  // kept parts that a ".." can take back
  const char* part = fileName;
  while (*part != '\0') {
    const char* end = part;
    while (*end != '\0' && !isSeparator(*end)) ++end;
    const size_t size = static_cast<size_t>(end - part);
    const bool dot = size == 1 && part[0] == '.';
    const bool dotDot = size == 2 && part[0] == '.' && part[1] == '.';
    if (dotDot && named > 0) {
      --length;
      while (length > root && path[length - 1] != '/') --length;
      --named;
    } else if (size > 0 && !dot && !(dotDot && root > 0)) {  // "/.." is "/"
      if (length + size + 1 >= sizeof(path)) return false;
      for (size_t i = 0; i < size; ++i) path[length++] = part[i];
      path[length++] = '/';
      if (!dotDot) ++named;
    }
    part = *end != '\0' ? end + 1 : end;
  }
  // A name ending in a separator names a folder, and keeps saying so.
  const bool endsInSeparator = isSeparator(part[-1]);
  if (length > root && !endsInSeparator) --length;
  if (length == 0) path[length++] = '.';
  path[length] = '\0';
  return true;
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
  // Non-blocking, so that a FIFO in the file's place cannot hang the script; fstat turns it away.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
