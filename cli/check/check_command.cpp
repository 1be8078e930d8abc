#include "cli/check/check_command.h"

#include <algorithm>

#include "cli/check/console.h"
#include "cli/check/file_bytes.h"
#include "cli/check/folder_check.h"
#include "cli/check/look_alikes.h"
#include "cli/display_text.h"
#include "cli/exit_status.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Far past any settings file; a bigger one is surely something else.
constexpr size_t kMaxBytes = size_t{64} << 20;

std::string folderOf(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  return displayText(utf8FromPath(ec ? path.parent_path() : absolute.parent_path()), 200);
}

}  // namespace

size_t CheckReport::warnings() const {
  return unshownWarnings +
         static_cast<size_t>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
           return f.severity == Severity::warning;
         }));
}

sim::Result<CheckReport> checkSettingsFile(const fs::path& path, const std::string& shown) {
  const sim::Result<std::optional<std::string>> read =
      readFileBytes(path, kMaxBytes, "settings file");
  if (!read) {
    return sim::Error{read.error().message + " (the plugin would use its defaults)", shown, 0};
  }
  const std::optional<std::string>& bytes = *read;
  CheckReport report;
  report.subject = shown;
  report.whenFine = "no problems found.";
  report.whenWarned =
      bytes ? "the plugin may not do what this file seems to say." : "there is no settings file.";
  const std::string wanted = settings_file::kFileName;
  const bool named = sameFileName(utf8FromPath(path.filename()), wanted);
  if (!bytes) {
    report.findings.push_back(
        {Severity::warning, shown + ": no such file in " + folderOf(path) +
                                ", so the plugin uses its defaults; it reads " + wanted +
                                " from the game's folder."});
  } else if (!named) {
    report.findings.push_back(
        {Severity::note, shown + ": the plugin reads only a file named " + wanted +
                             "; this one is checked as if it were that file."});
  }
  if (named) addLookAlikes(path.parent_path(), wanted, bytes.has_value(), report.findings);
  SettingsCheck check = checkSettings(bytes);
  for (Finding& finding : check.findings) report.findings.push_back(std::move(finding));
  report.unshownWarnings = check.unshownWarnings;
  return report;
}

sim::Result<CheckReport> checkPath(const std::optional<std::string>& path) {
  if (!path) {
    const std::string fallback = std::string("./") + settings_file::kFileName;
    return checkSettingsFile(pathFromUtf8(fallback), fallback);
  }
  const fs::path target = pathFromUtf8(*path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) return checkGameFolder(target, displayText(*path, 200));
  return checkSettingsFile(target, displayText(*path, 200));
}

int printCheck(const sim::Result<CheckReport>& report, std::FILE* out, std::FILE* err) {
  if (!report) {
    const sim::Error& error = report.error();
    writeText(err, (error.where.empty() ? "" : error.where + ": ") + error.message + "\n");
    return exitCode(ExitStatus::unreadable);
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
  writeText(out, text);
  return exitCode(warnings == 0 ? ExitStatus::success : ExitStatus::warnings);
}

int runCheck(const std::optional<std::string>& path, std::FILE* out, std::FILE* err) {
  return printCheck(checkPath(path), out, err);
}

}  // namespace cli
