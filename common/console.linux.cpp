// Linux hands over names as bytes, which are UTF-8 here; a terminal shows UTF-8 as it is.
#include <unistd.h>

#include "common/console.h"

namespace common {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
  return {argv, argv + argc};
}

std::filesystem::path pathFromUtf8(const std::string& utf8) {
  return {utf8};
}

std::string utf8FromPath(const std::filesystem::path& path) {
  return path.string();
}

std::filesystem::path programFolder() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

void useUtf8Output() {}

bool isConsole(std::FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

void writeText(std::FILE* stream, const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

}  // namespace common
