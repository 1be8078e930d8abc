#include "cli/check/folder_check.h"

#include "cli/check/file_bytes.h"
#include "cli/check/file_places.h"
#include "cli/check/pe_file.h"
#include "common/console.h"
#include "common/display_text.h"
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
  const common::Result<std::optional<std::string>> read =
      readFileBytes(path, kMaxModuleBytes, "DLL");
  if (!read) {
    look.present = true;
    look.problem = read.error().message;
    return look;
  }
  if (!*read) return look;
  look.present = true;
  const common::Result<PeModule> module = readPeModule(**read);
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

// What a game folder holds of the plugin's three files, and where they are instead.
struct GameFolder {
  fs::path path;
  std::string shown;  // its whole path, as messages name it
  FilePlaces plugin;
  FilePlaces host;
  FilePlaces settings;
};

void checkPlugin(const GameFolder& game, CheckReport& report) {
  const std::string name = kPluginDll;
  const ModuleLook look = game.plugin.folderHere ? ModuleLook{} : lookAtModule(game.path / name);
  if (!look.present) {
    const std::string instead = whereInstead(game.plugin, name, game.shown);
    report.findings.push_back(
        {Severity::warning,
         name + ": not in this folder, so there is no plugin to load. " +
             (instead.empty() ? "Copy it here from the Kestova zip." : instead)});
    addLookAlikes(game.plugin, name, false, report.findings);
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

// The mod's files here and the host one folder up: Windows' "Extract All" put the zip in a
// folder of its own inside the game's.
std::string tooDeep(const GameFolder& game) {
  std::string move;
  if (game.plugin.here) move = kPluginDll;
  if (game.settings.here)
    move += (move.empty() ? "" : " and ") + std::string(settings_file::kFileName);
  const std::string gameFolder = shownPath(game.host.above);
  return std::string(kHostDll) + ": not in this folder but in the folder above, " + gameFolder +
         ", the game's folder: this folder is one too deep. " +
         (move.empty() ? "Run the check in " + gameFolder + " instead."
                       : "Move " + move + " from here up into " + gameFolder +
                             ", beside the host, and run the check there.");
}

void checkHost(const GameFolder& game, CheckReport& report) {
  const std::string name = kHostDll;
  const ModuleLook look = game.host.folderHere ? ModuleLook{} : lookAtModule(game.path / name);
  if (!look.present && !game.host.above.empty()) {
    report.findings.push_back({Severity::warning, tooDeep(game)});
    report.notWhereRead = "this folder is not the game's";
  } else if (!look.present && !game.host.below.empty()) {
    report.findings.push_back(
        {Severity::warning,
         name + ": not in this folder but in " + shownPath(game.host.below.front()) +
             ". The host, " + kPluginDll + " and " + settings_file::kFileName +
             " go together in the game's folder, where its .exe is: put them side by side "
             "there."});
  } else if (!look.present) {
    report.findings.push_back(
        {Severity::warning, name +
                                ": not in this folder. Without the script-hook host nothing "
                                "loads the plugin, the commonest reason it does nothing: "
                                "install the host in the game's folder, beside " +
                                kPluginDll + "."});
  } else if (!look.problem.empty()) {
    report.findings.push_back({Severity::warning, name + ": it " + look.problem +
                                                      ", so it cannot load the plugin; install "
                                                      "the script-hook host again."});
  } else {
    report.findings.push_back(
        {Severity::note, name + ": the script-hook host, which loads the plugin, is here."});
  }
}

// The settings file as in any check; one the check cannot read (a folder of its name, a file it
// may not open) is a warning here, and the rest of the folder is still checked.
void checkSettingsHere(const GameFolder& game, Machine& machine, CheckReport& report) {
  const std::string name = settings_file::kFileName;
  common::Result<CheckReport> settings = checkSettingsFile(game.path / name, name, machine);
  if (!settings) {
    const std::string instead = whereInstead(game.settings, name, game.shown);
    report.findings.push_back({Severity::warning, name + ": " + settings.error().message + "." +
                                                      (instead.empty() ? "" : " " + instead)});
    settings = checkSettings(std::nullopt);
  }
  report.findings.insert(report.findings.end(), settings->findings.begin(),
                         settings->findings.end());
  report.unshownWarnings = settings->unshownWarnings;
  report.settingsPath = game.path / name;
  report.settings = settings->settings;
  if (report.notWhereRead.empty()) report.notWhereRead = settings->notWhereRead;
}

}  // namespace

common::Result<CheckReport> checkGameFolder(const fs::path& folder, const std::string& shown,
                                            Machine& machine) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return common::Error("is not a folder", shown);
  GameFolder game{folder, shownPath(wholePath(folder)), findFilePlaces(folder, kPluginDll),
                  findFilePlaces(folder, kHostDll),
                  findFilePlaces(folder, settings_file::kFileName)};

  CheckReport report;
  report.findings.push_back(
      {Severity::note,
       "folder: " + game.shown + ", checked as the plugin finds it when the game starts here."});
  checkPlugin(game, report);
  checkHost(game, report);
  checkSettingsHere(game, machine, report);
  report.subject = game.shown;
  report.whenFine = "no problems found. Start the game; a tap of the aim control toggles aiming.";
  report.whenWarned =
      "fix what they say, then start the game again (it reads its settings only at the start).";
  return report;
}

}  // namespace cli
