#include "cli/check/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace cli {

namespace fs = std::filesystem;

common::Result<std::optional<std::string>> readFileBytes(const fs::path& path, size_t maxBytes,
                                                         const std::string& kind) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) return std::optional<std::string>();
  if (ec) return common::Error("cannot look at it: " + ec.message());
  if (status.type() == fs::file_type::directory) return common::Error("is a folder, not a " + kind);
  if (status.type() != fs::file_type::regular) return common::Error("is not a regular file");

  errno = 0;
  // std::ifstream opens a path by its wide name on Windows, so any folder name works.
  std::ifstream file(path, std::ios::binary);
  if (!file) return common::Error(std::string("cannot open it: ") + std::strerror(errno));
  std::string bytes;
  char buffer[65536];
  while (bytes.size() <= maxBytes && file.read(buffer, sizeof(buffer)).gcount() > 0) {
    bytes.append(buffer, static_cast<size_t>(file.gcount()));
  }
  if (file.bad()) return common::Error("cannot read it");
  if (bytes.size() > maxBytes) {
    return common::Error("is larger than " + std::to_string(maxBytes >> 20) +
                         " MiB, far too large for a " + kind);
  }
  return std::optional<std::string>(std::move(bytes));
}

}  // namespace cli
