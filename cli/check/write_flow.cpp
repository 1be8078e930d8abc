#include "cli/check/write_flow.h"

#include "cli/check/file_bytes.h"
#include "cli/check/file_places.h"
#include "cli/check/machine.h"
#include "cli/check/settings_file_check.h"
#include "common/console.h"
#include "common/display_text.h"
#include "common/settings_values.h"

namespace cli {
namespace {

common::ExitStatus refuse(const WritePlan& plan, const std::string& why, std::FILE* out) {
  common::writeText(out, plan.shown + ": " + why +
                             ". Nothing was written; the lines to set yourself, in [" +
                             settings_file::kSection + "] of the file the plugin reads:\n" +
                             settingLines(plan.values, "\n") + "\n");
  return common::ExitStatus::unreadable;
}

}  // namespace

WritePlan planWrite(const CheckReport& report, const TapAdvice& advice, bool asked) {
  WritePlan plan;
  plan.shown = common::shownPath(report.settingsPath);
  if (!advice.suggestionHelps) return plan;
  plan.values = {{&settings_file::kShortPress, advice.suggested.shortPress},
                 {&settings_file::kLongPress, advice.suggested.longPress}};
  // Written where the plugin does not read it, the suggestion would change nothing.
  std::string notHere = report.notWhereRead;
  if (notHere.empty() && asked && !namedAs(report.settingsPath, settings_file::kFileName)) {
    notHere = std::string("the plugin reads only ") + settings_file::kFileName;
  }
  if (!notHere.empty()) {
    plan.refusal = "it is not what the plugin reads here: " + notHere + " (see above)";
    return plan;
  }
  const common::Result<std::optional<std::string>> bytes =
      readFileBytes(report.settingsPath, kMaxSettingsBytes, "settings file");
  if (!bytes) {
    plan.refusal = "it " + bytes.error().message;
    return plan;
  }
  common::Result<std::string> changed = editSettings(*bytes, plan.values, asked);
  if (!changed) {
    plan.refusal = "cannot write it faithfully: " + changed.error().message;
    return plan;
  }
  plan.dropsMark = *bytes && common::encodingOf(**bytes) == profile::TextEncoding::utf8;
  plan.bytes = std::move(*changed);
  return plan;
}

bool askToWrite(const WritePlan& plan, Machine& machine, std::FILE* out) {
  common::writeText(out, "\nWrite " + settingLines(plan.values, " and ") + " into " + plan.shown +
                             (plan.dropsMark ? ", and remove the UTF-8 byte-order mark it starts "
                                               "with, which Windows misreads"
                                             : "") +
                             "? Type y and press Enter to write; anything else writes nothing: ");
  const std::string answer = common::lowerAscii(machine.readLine().value_or(""));
  return answer == "y" || answer == "yes";
}

common::ExitStatus writePlan(const CheckReport& report, const WritePlan& plan, Machine& machine,
                             std::FILE* out) {
  const common::Result<std::filesystem::path> backup =
      replaceSettingsFile(report.settingsPath, plan.bytes, plan.values, machine);
  if (!backup) return refuse(plan, "it " + backup.error().message, out);
  common::writeText(out, "Wrote " + settingLines(plan.values, " and ") + " into " + plan.shown +
                             (backup->empty() ? ", a new file"
                                              : "; the old file is kept as " +
                                                    common::shownPath(backup->filename())) +
                             ".\n");

  // Read back with the reader of the check itself.
  const common::Result<CheckReport> back =
      checkSettingsFile(report.settingsPath, plan.shown, machine);
  if (!back) return refuse(plan, "it cannot be read back: " + back.error().message, out);
  const std::optional<SystemReading> system = machine.readSettings(report.settingsPath);
  const bool took = readsAsSet(back->settings, plan.values);
  common::writeText(out, std::string(took ? "" : "warning: ") + "read back (" +
                             (system ? system->name + "'s own reader" : "this checker's model") +
                             "): the plugin will now read " + common::settingsText(back->settings) +
                             (took ? "." : ", not what was written.") + "\n");
  if (!took) return common::ExitStatus::warnings;
  return back->warnings() == 0 ? common::ExitStatus::success : common::ExitStatus::warnings;
}

common::ExitStatus tapAdvice(const CheckReport& report, common::ExitStatus checked,
                             const Presses& presses, WriteChoice choice, Machine& machine,
                             std::FILE* out) {
  const TapAdvice advice = adviseTaps(presses, report.settings);
  std::string text = "\n";
  for (const std::string& line : adviceText(advice, choice != WriteChoice::ask)) {
    text += line + "\n";
  }
  common::writeText(out, text);
  const WritePlan plan = planWrite(report, advice, choice == WriteChoice::ask);
  if (plan.values.empty()) return checked;
  if (choice == WriteChoice::no) {
    common::writeText(out, "--write writes them into " + plan.shown + ", keeping the old file.\n");
    return checked;
  }
  if (!plan.refusal.empty()) {
    const common::ExitStatus refused = refuse(plan, plan.refusal, out);
    return choice == WriteChoice::yes ? refused : checked;
  }
  if (choice == WriteChoice::ask && !askToWrite(plan, machine, out)) {
    common::writeText(out, "Nothing was written.\n");
    return checked;
  }
  return writePlan(report, plan, machine, out);
}

}  // namespace cli
