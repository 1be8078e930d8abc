#include "cli/check/check_command.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "cli/check/settings_check.h"
#include "cli/display_text.h"
#include "cli/exit_status.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Far past any settings file; a bigger one is surely something else.
constexpr size_t kMaxBytes = size_t{64} << 20;

struct FileRead {
  std::optional<std::string> bytes;  // nullopt: no file
  std::string problem;               // why it cannot be read, if it cannot
};

FileRead readSettingsFile(const std::string& path) {
  FileRead read;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) return read;
  if (ec) {
    read.problem = "cannot look at it: " + ec.message();
  } else if (status.type() == fs::file_type::directory) {
    read.problem = "is a folder, not a settings file";
  } else if (status.type() != fs::file_type::regular) {
    read.problem = "is not a regular file";
  }
  if (!read.problem.empty()) return read;

  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    read.problem = std::string("cannot open it: ") + std::strerror(errno);
    return read;
  }
  std::string bytes;
  char buffer[65536];
  size_t got = 0;
  while (bytes.size() <= kMaxBytes && (got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
    bytes.append(buffer, got);
  }
  if (std::ferror(file) != 0) {
    read.problem = "cannot read it";
  } else if (bytes.size() > kMaxBytes) {
    read.problem = "is larger than 64 MiB, far too large for a settings file";
  } else {
    read.bytes = std::move(bytes);
  }
  std::fclose(file);
  return read;
}

bool namedLikeThePluginsFile(const std::string& path) {
  return lowerAscii(fs::path(path).filename().string()) == "kestova.ini";
}

void writeFinding(std::FILE* out, const Finding& finding) {
  std::fprintf(out, "%s%s\n", finding.severity == Severity::warning ? "warning: " : "",
               finding.text.c_str());
}

}  // namespace

int runCheck(const std::string& path, std::FILE* out, std::FILE* err) {
  const std::string shown = displayText(path, 200);
  const FileRead read = readSettingsFile(path);
  if (!read.problem.empty()) {
    std::fprintf(err, "%s: %s (the plugin would use its defaults)\n", shown.c_str(),
                 read.problem.c_str());
    return exitCode(ExitStatus::unreadable);
  }
  if (!read.bytes) {
    writeFinding(out, {Severity::warning,
                       shown + ": no such file, so the plugin uses its defaults; it reads "
                               "Kestova.ini from the game's folder."});
  } else if (!namedLikeThePluginsFile(path)) {
    writeFinding(out, {Severity::note, shown + ": the plugin reads only a file named Kestova.ini; "
                                               "this one is checked as if it were that file."});
  }
  const SettingsCheck check = checkSettings(read.bytes);
  for (const Finding& finding : check.findings) writeFinding(out, finding);

  const size_t warnings = check.warnings() + (read.bytes ? 0 : 1);
  if (warnings == 0) {
    std::fprintf(out, "%s: no problems found.\n", shown.c_str());
    return exitCode(ExitStatus::success);
  }
  std::fprintf(out, "%s: %zu warning%s: %s\n", shown.c_str(), warnings, warnings == 1 ? "" : "s",
               read.bytes ? "the plugin may not do what this file seems to say."
                          : "there is no settings file.");
  return exitCode(ExitStatus::warnings);
}

}  // namespace cli
