#include "cli/check/settings_file_check.h"

#include "cli/check/file_bytes.h"
#include "cli/check/file_places.h"
#include "cli/check/machine.h"
#include "cli/check/settings_explainer.h"
#include "common/display_text.h"

namespace cli {

namespace fs = std::filesystem;

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
  report.whenWarned =
      bytes ? "the plugin may not do what this file seems to say." : "there is no settings file.";
  report.settingsPath = path;
  // What the file's name and place say comes first, then what the file says.
  std::vector<Finding> first;
  const std::string wanted = settings_file::kFileName;
  const bool named = namedAs(path, wanted);
  const FilePlaces places = named ? findFilePlaces(path.parent_path(), wanted) : FilePlaces{};
  // The folder it was looked for in, whole.
  const std::string folder = common::shownPath(common::wholePath(path).parent_path());
  if (!bytes && named) {
    const std::string instead = whereInstead(places, wanted, folder);
    if (!instead.empty()) report.notWhereRead = "the file you meant is elsewhere";
    first.push_back({Severity::warning,
                     "There is no " + wanted + " in " + folder +
                         ", so the plugin uses its defaults; it reads " + wanted +
                         " from the game's folder.",
                     instead});
  } else if (!bytes) {
    first.push_back({Severity::warning, shown + ": no such file in " + folder +
                                            "; the plugin reads only " + wanted + "."});
  } else if (!named) {
    first.push_back({Severity::note, shown + ": the plugin reads only a file named " + wanted +
                                         "; this one is checked as if it were that file."});
  }
  addLookAlikes(places, wanted, bytes.has_value(), first);
  addLeftovers(places, first);
  if (!places.lookAlikes.empty()) report.notWhereRead = "a look-alike of it is beside it";
  report.findings.insert(report.findings.begin(), first.begin(), first.end());
  return report;
}

}  // namespace cli
