// Linux has no profile reader of its own: the project's model alone answers there.
#include "cli/check/system_reader.h"

namespace cli {

std::optional<SystemKind> thisSystemKind() {
  return std::nullopt;
}

std::optional<SystemReading> readBySystemReader(const std::filesystem::path& /*file*/) {
  return std::nullopt;
}

}  // namespace cli
