#include "cli/check/tap_check.h"

#include "cli/check/file_places.h"
#include "cli/check/settings_writer.h"
#include "common/console.h"
#include "common/display_text.h"
#include "common/settings_values.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

bool saidYes(const std::optional<std::string>& answer) {
  if (!answer) return false;
  const std::string word = common::lowerAscii(*answer);
  return word == "y" || word == "yes";
}

std::string valuesText(const std::vector<SettingValue>& values, const char* between) {
  std::string text;
  for (const SettingValue& value : values) {
    text += (text.empty() ? "" : between) + std::string(value.key->name) + "=" +
            std::to_string(value.value);
  }
  return text;
}

common::ExitStatus refuse(const std::string& shown, const std::string& why,
                          const std::vector<SettingValue>& values, std::FILE* out) {
  common::writeText(out, shown + ": " + why + ". Nothing was written; change these lines in [" +
                             settings_file::kSection + "] yourself:\n" + valuesText(values, "\n") +
                             "\n");
  return common::ExitStatus::unreadable;
}

// The file's new bytes, or why it cannot be changed; asks before removing a UTF-8 mark.
common::Result<std::string> edited(const std::optional<std::string>& bytes,
                                   const std::vector<SettingValue>& values, WriteChoice write,
                                   Machine& machine, std::FILE* out) {
  common::Result<std::string> result = editSettings(bytes, values, false);
  if (result || write != WriteChoice::ask || !bytes ||
      common::encodingOf(*bytes) != profile::TextEncoding::utf8) {
    return result;
  }
  common::writeText(out,
                    "The file starts with a UTF-8 byte-order mark, which Windows misreads. "
                    "Remove it as part of the write? Type y and press Enter: ");
  if (!saidYes(machine.readLine())) return result;
  return editSettings(bytes, values, true);
}

}  // namespace

common::ExitStatus tapCheck(const CheckReport& report, common::ExitStatus checked,
                            const Presses& presses, WriteChoice write, Machine& machine,
                            std::FILE* out, std::FILE* err, const std::string& program) {
  const TapAdvice advice = adviseTaps(presses, report.settings);
  std::string text;
  for (const std::string& line : adviceText(advice)) {
    text += line + "\n";
  }
  common::writeText(out, text);
  if (!advice.changeNeeded || !advice.suggestionHelps) return checked;
  const std::vector<SettingValue> values = {
      {&settings_file::kShortPress, advice.suggested.shortPress},
      {&settings_file::kLongPress, advice.suggested.longPress}};
  const std::string shown = shownPath(report.settingsPath);
  // Written where the plugin does not read it, the suggestion would change nothing.
  std::string notHere = report.notWhereRead;
  const bool named = common::lowerAscii(common::utf8FromPath(report.settingsPath.filename())) ==
                     common::lowerAscii(settings_file::kFileName);
  if (notHere.empty() && write == WriteChoice::ask && !named) {
    notHere = std::string("the plugin reads only ") + settings_file::kFileName;
  }
  if (write == WriteChoice::no) {
    common::writeText(out, "--write writes them into " + shown + ", keeping the old file.\n");
    return checked;
  }
  if (!notHere.empty()) {
    refuse(shown, "it is not what the plugin reads here: " + notHere + " (see above)", values, out);
    return write == WriteChoice::yes ? common::ExitStatus::unreadable : checked;
  }
  if (write == WriteChoice::ask) {
    common::writeText(out, "\nWrite " + valuesText(values, " and ") + " into " + shown +
                               "? Type y and press Enter to write them; anything else writes "
                               "nothing: ");
    if (!saidYes(machine.readLine())) {
      common::writeText(out, "Nothing was written.\n");
      return checked;
    }
  }
  const common::Result<std::optional<std::string>> bytes =
      readFileBytes(report.settingsPath, kMaxSettingsBytes, "settings file");
  if (!bytes) return refuse(shown, "it " + bytes.error().message, values, out);
  const common::Result<std::string> changed = edited(*bytes, values, write, machine, out);
  if (!changed) {
    return refuse(shown, "cannot write it faithfully: " + changed.error().message, values, out);
  }
  const common::Result<fs::path> backup =
      replaceSettingsFile(report.settingsPath, *changed, values, machine);
  if (!backup) return refuse(shown, "it " + backup.error().message, values, out);
  common::writeText(
      out, "Wrote " + valuesText(values, " and ") + " into " + shown +
               (backup->empty() ? ", a new file"
                                : "; the old file is kept as " + shownPath(backup->filename())) +
               ".\n");

  // Read back with the reader of the check itself.
  const common::Result<CheckReport> back = checkSettingsFile(report.settingsPath, shown, machine);
  if (!back) {
    common::writeError(err, back.error(), program);
    return common::ExitStatus::unreadable;
  }
  const std::optional<SystemReading> system = machine.readSettings(report.settingsPath);
  const bool took = back->settings.shortPress == advice.suggested.shortPress &&
                    back->settings.longPress == advice.suggested.longPress;
  common::writeText(out, std::string(took ? "" : "warning: ") + "read back (" +
                             (system ? system->name + "'s own reader" : "this checker's model") +
                             "): the plugin will now read " + common::settingsText(back->settings) +
                             (took ? "." : ", not what was written.") + "\n");
  if (!took) return common::ExitStatus::warnings;
  return back->warnings() == 0 ? common::ExitStatus::success : common::ExitStatus::warnings;
}

}  // namespace cli
