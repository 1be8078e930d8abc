// Linux has no profile reader of its own: the project's model alone answers there. A terminal
// window stays open after its program ends, so the checker never owns one, and a terminal does
// not say when a key comes up, so it measures no press.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/check/machine.h"

namespace cli {
namespace {

class LinuxMachine : public Machine {
 public:
  std::optional<SystemKind> system() override { return std::nullopt; }
  std::optional<SystemReading> readSettings(const std::filesystem::path& /*file*/) override {
    return std::nullopt;
  }
  bool ownsConsoleWindow() override { return false; }
  // A terminal tells when a key goes down, never when it comes up: no press can be measured.
  bool readPresses(const std::function<bool(const PressEvent&)>& /*onEvent*/) override {
    return false;
  }
};

}  // namespace

Machine& thisMachine() {
  static LinuxMachine machine;
  return machine;
}

common::Status replaceFile(const std::filesystem::path& target, const std::string& bytes) {
  std::filesystem::path fresh = target;
  fresh += ".new";
  struct stat old {};
  const mode_t mode = stat(target.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
  const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0)
    return common::Error("cannot make " + fresh.filename().string() + ": " + std::strerror(errno));
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const bool whole = written == bytes.size() && fsync(fd) == 0;
  close(fd);
  // rename(2) replaces its target in one step.
  if (!whole || rename(fresh.c_str(), target.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    unlink(fresh.c_str());
    return common::Error("cannot replace it: " + why);
  }
  return common::Done{};
}

}  // namespace cli
