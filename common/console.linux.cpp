// Linux hands over names as bytes, which are UTF-8 here; a terminal shows UTF-8 as it is.
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

void useUtf8Output() {}

void writeText(std::FILE* stream, const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

}  // namespace common
