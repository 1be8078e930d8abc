// Linux hands over names as bytes, which are UTF-8 here; a terminal shows UTF-8 as it is.
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/console.h"
#include "common/text_layout.h"

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

// One column short of the terminal's width, as on Windows (console.windows.cpp).
std::optional<size_t> textColumns(std::FILE* stream) {
  winsize size{};
  if (!isConsole(stream) || ioctl(fileno(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
    return std::nullopt;
  }
  return size.ws_col - 1u;
}

void writeText(std::FILE* stream, const std::string& utf8) {
  const std::optional<size_t> columns = textColumns(stream);
  const std::string shown = columns ? wrapText(utf8, *columns) : utf8;
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fflush(stream);
}

}  // namespace common
