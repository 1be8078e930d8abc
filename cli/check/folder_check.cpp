#include "cli/check/folder_check.h"

#include "cli/check/console.h"
#include "cli/check/file_bytes.h"
#include "cli/check/look_alikes.h"
#include "cli/check/pe_file.h"
#include "cli/display_text.h"
#include "kestova_version.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Far past the plugin and any host.
constexpr size_t kMaxModuleBytes = size_t{256} << 20;

struct ModuleLook {
  bool present = false;
  std::string problem;  // why it is not a 64-bit Windows DLL, if it is not
  PeModule module;
};

ModuleLook lookAtModule(const fs::path& path) {
  ModuleLook look;
  const sim::Result<std::optional<std::string>> read = readFileBytes(path, kMaxModuleBytes, "DLL");
  if (!read) {
    look.present = true;
    look.problem = read.error().message;
    return look;
  }
  if (!*read) return look;
  look.present = true;
  const sim::Result<PeModule> module = readPeModule(**read);
  if (!module) {
    look.problem = module.error().message;
  } else if (module->machine == PeModule::kMachineX86) {
    look.problem = "is a 32-bit DLL, and the game is 64-bit";
  } else if (module->machine != PeModule::kMachineX64) {
    look.problem = "is built for another kind of processor";
  } else if (!module->dll) {
    look.problem = "is a program, not a DLL";
  } else {
    look.module = *module;
  }
  return look;
}

void checkPlugin(const fs::path& folder, CheckReport& report) {
  const std::string name = kPluginFileName;
  const ModuleLook look = lookAtModule(folder / name);
  if (!look.present) {
    report.findings.push_back({Severity::warning, name + ": not in this folder, so there is no "
                                                         "plugin to load; copy it here from the "
                                                         "Kestova zip."});
    addLookAlikes(folder, name, false, report.findings);
  } else if (!look.problem.empty()) {
    report.findings.push_back({Severity::warning, name + ": it " + look.problem +
                                                      ": a broken or wrong download. Copy " + name +
                                                      " here again from the Kestova zip."});
  } else if (!look.module.fileVersion) {
    report.findings.push_back({Severity::note, name + ": a 64-bit Windows DLL with no version; not "
                                                      "a Kestova release (an older or a "
                                                      "home-made build?)."});
  } else {
    const std::string version = versionText(*look.module.fileVersion);
    std::string text = name + ": version " + version + ", a 64-bit Windows DLL.";
    if (version != KESTOVA_VERSION) {
      text += " This check is from version " KESTOVA_VERSION
              "; take both from the same zip to be sure it fits.";
    }
    report.findings.push_back({Severity::note, text});
  }
}

void checkHost(const fs::path& folder, CheckReport& report) {
  const std::string name = kHostFileName;
  const ModuleLook look = lookAtModule(folder / name);
  if (!look.present) {
    report.findings.push_back(
        {Severity::warning, name +
                                ": not in this folder. Without the script-hook host nothing "
                                "loads the plugin, the commonest reason it does nothing: "
                                "install the host in the game's folder, beside " +
                                kPluginFileName + "."});
  } else if (!look.problem.empty()) {
    report.findings.push_back({Severity::warning, name + ": it " + look.problem +
                                                      ", so it cannot load the plugin; install "
                                                      "the script-hook host again."});
  } else {
    report.findings.push_back(
        {Severity::note, name + ": the script-hook host, which loads the plugin, is here."});
  }
}

}  // namespace

sim::Result<CheckReport> checkGameFolder(const fs::path& folder, const std::string& shown) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
  std::string whole = utf8FromPath(ec ? folder : absolute);
  // "C:\Games\X\" and "/games/x/" name the folder as "C:\Games\X" and "/games/x" do.
  if (whole.size() > 1 && (whole.back() == '/' || whole.back() == '\\') &&
      whole[whole.size() - 2] != ':') {
    whole.pop_back();
  }
  if (!fs::is_directory(folder, ec)) return sim::Error{"is not a folder", shown, 0};

  CheckReport report;
  report.findings.push_back(
      {Severity::note, "folder: " + displayText(whole, 200) +
                           ", checked as the plugin finds it when the game starts here."});
  checkPlugin(folder, report);
  checkHost(folder, report);
  const std::string settingsName = settings_file::kFileName;
  sim::Result<CheckReport> settings = checkSettingsFile(folder / settingsName, settingsName);
  if (!settings) return settings;
  for (Finding& finding : settings->findings) report.findings.push_back(std::move(finding));
  report.unshownWarnings = settings->unshownWarnings;
  report.subject = displayText(whole, 200);
  report.whenFine = "no problems found. Start the game; a tap of the aim control toggles aiming.";
  report.whenWarned =
      "fix what they say, then start the game again (it reads its settings only at the start).";
  return report;
}

}  // namespace cli
