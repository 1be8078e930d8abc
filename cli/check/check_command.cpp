#include "cli/check/check_command.h"

#include "cli/check/file_bytes.h"
#include "cli/check/file_places.h"
#include "cli/check/folder_check.h"
#include "common/console.h"
#include "common/display_text.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

std::string folderOf(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  return shownPath(ec ? path.parent_path() : absolute.parent_path());
}

}  // namespace

common::Result<CheckReport> checkSettingsFile(const fs::path& path, const std::string& shown,
                                              Machine& machine) {
  const common::Result<std::optional<std::string>> read =
      readFileBytes(path, kMaxSettingsBytes, "settings file");
  if (!read) {
    return common::Error(read.error().message + " (the plugin would use its defaults)", shown);
  }
  const std::optional<std::string>& bytes = *read;
  CheckReport report = checkSettings(bytes, bytes ? machine.readSettings(path) : std::nullopt);
  report.subject = shown;
  report.whenFine = "no problems found.";
  report.whenWarned =
      bytes ? "the plugin may not do what this file seems to say." : "there is no settings file.";
  report.settingsPath = path;
  // What the file's name and place say comes first, then what the file says.
  std::vector<Finding> first;
  const std::string wanted = settings_file::kFileName;
  const bool named = sameFileName(common::utf8FromPath(path.filename()), wanted);
  const FilePlaces places = named ? findFilePlaces(path.parent_path(), wanted) : FilePlaces{};
  if (!bytes && named) {
    const std::string folder = folderOf(path);
    const std::string instead = whereInstead(places, wanted, folder);
    if (!instead.empty()) report.notWhereRead = "the file you meant is elsewhere";
    first.push_back({Severity::warning, shown + ": no such file in " + folder +
                                            ", so the plugin uses its defaults; it reads " +
                                            wanted + " from the game's folder." +
                                            (instead.empty() ? "" : " " + instead)});
  } else if (!bytes) {
    first.push_back({Severity::warning, shown + ": no such file in " + folderOf(path) +
                                            "; the plugin reads only " + wanted + "."});
  } else if (!named) {
    first.push_back({Severity::note, shown + ": the plugin reads only a file named " + wanted +
                                         "; this one is checked as if it were that file."});
  }
  addLookAlikes(places, wanted, bytes.has_value(), first);
  if (!places.lookAlikes.empty()) report.notWhereRead = "a look-alike of it is beside it";
  report.findings.insert(report.findings.begin(), first.begin(), first.end());
  return report;
}

common::Result<CheckReport> checkPath(const std::optional<std::string>& path, Machine& machine) {
  if (!path) {
    const std::string fallback = std::string("./") + settings_file::kFileName;
    return checkSettingsFile(common::pathFromUtf8(fallback), fallback, machine);
  }
  const fs::path target = common::pathFromUtf8(*path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    return checkGameFolder(target, common::displayText(*path, 200), machine);
  }
  return checkSettingsFile(target, common::displayText(*path, 200), machine);
}

common::ExitStatus printCheck(const common::Result<CheckReport>& report, std::FILE* out,
                              std::FILE* err, const std::string& program) {
  if (!report) {
    common::writeError(err, report.error(), program);
    return common::ExitStatus::unreadable;
  }
  std::string text;
  for (const Finding& finding : report->findings) {
    text += (finding.severity == Severity::warning ? "warning: " : "") + finding.text + "\n";
  }
  const size_t warnings = report->warnings();
  if (warnings == 0) {
    text += report->subject + ": " + report->whenFine + "\n";
  } else {
    text += report->subject + ": " + std::to_string(warnings) + " warning" +
            (warnings == 1 ? "" : "s") + ": " + report->whenWarned + "\n";
  }
  common::writeText(out, text);
  return warnings == 0 ? common::ExitStatus::success : common::ExitStatus::warnings;
}

}  // namespace cli
