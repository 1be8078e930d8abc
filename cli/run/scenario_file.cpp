// Scenario files as a user names them on the command line.
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "cli/run/scenario.h"
#include "common/console.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// A section header on a line of its own: no scenario line starts with '[', every settings
// file has one.
bool looksLikeSettings(const std::string& text) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t start = line.find_first_not_of(" \t");
    if (start != std::string::npos && line[start] == '[' && line.find(']', start) != line.npos) {
      return true;
    }
  }
  return false;
}

}  // namespace

common::Result<Scenario> loadScenarioFile(const std::string& path) {
  const fs::path file = common::pathFromUtf8(path);
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (status.type() == fs::file_type::not_found) {
    return common::Error("there is no such scenario file", path);
  }
  if (status.type() == fs::file_type::directory) {
    return common::Error("is a folder, not a scenario file", path);
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    const int cause = errno;
    return common::Error(
        "cannot read scenario file" +
            (cause != 0 ? " (" + std::generic_category().message(cause) + ")" : ""),
        path);
  }
  std::ostringstream text;
  text << in.rdbuf();
  common::Result<Scenario> scenario = parseScenario(text.str(), path, file.parent_path());
  // A settings file dropped on the program, or named in its place.
  if (!scenario && looksLikeSettings(text.str())) {
    common::Error error = scenario.error();
    error.message +=
        " (this looks like a settings file: to see what the plugin makes of it, run "
        "kestova-sim check " +
        path + ")";
    return error;
  }
  return scenario;
}

}  // namespace cli
