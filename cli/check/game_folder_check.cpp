#include "cli/check/game_folder_check.h"

#include "cli/check/file_bytes.h"
#include "cli/check/file_places.h"
#include "cli/check/machine.h"
#include "cli/check/pe_file.h"
#include "cli/check/settings_explainer.h"
#include "cli/check/settings_file_check.h"
#include "common/console.h"
#include "common/display_text.h"
#include "kestova_version.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

constexpr char kPluginDll[] = "Kestova.dll";
constexpr char kHostDll[] = "ScriptHookVask.dll";
// Far past the plugin and any host.
constexpr size_t kMaxModuleBytes = size_t{256} << 20;

// A DLL of the game folder's: nullopt when it is not there (a folder of its name is none), else
// the module, or why it is not a 64-bit Windows DLL.
std::optional<common::Result<PeModule>> lookAtModule(const fs::path& path,
                                                     const FilePlaces& places) {
  if (places.folderHere) return std::nullopt;
  const common::Result<std::optional<std::string>> read =
      readFileBytes(path, kMaxModuleBytes, "DLL");
  if (!read) return read.error();
  if (!*read) return std::nullopt;
  common::Result<PeModule> module = readPeModule(**read);
  if (!module) return module;
  if (module->machine == PeModule::kMachineX86) {
    return common::Error("is a 32-bit DLL, and the game is 64-bit");
  }
  if (module->machine != PeModule::kMachineX64) {
    return common::Error("is built for another kind of processor");
  }
  if (!module->dll) return common::Error("is a program, not a DLL");
  return module;
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
  const auto look = lookAtModule(game.path / name, game.plugin);
  if (!look) {
    const std::string instead = whereInstead(game.plugin, name, game.shown);
    report.findings.push_back(
        {Severity::problem, name + " is not in this folder, so there is no plugin to load.",
         instead.empty() ? "Copy " + name + " here from the Kestova zip." : instead});
    addLookAlikes(game.plugin, name, false, report.findings);
  } else if (!*look) {
    report.findings.push_back({Severity::problem,
                               name + " " + look->error().message + ": a broken or wrong download.",
                               "Copy " + name + " here again from the Kestova zip."});
  } else if (!(*look)->fileVersion) {
    report.findings.push_back({Severity::note, name + ": a 64-bit Windows DLL with no version; not "
                                                      "a Kestova release (an older or a "
                                                      "home-made build?)."});
  } else {
    const std::string version = versionText(*(*look)->fileVersion);
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
Finding tooDeep(const GameFolder& game) {
  std::string move;
  if (game.plugin.here) move = kPluginDll;
  if (game.settings.here)
    move += (move.empty() ? "" : " and ") + std::string(settings_file::kFileName);
  const std::string gameFolder = common::shownPath(game.host.above);
  return {Severity::problem,
          std::string(kHostDll) + " is not in this folder but in the folder above, " + gameFolder +
              ", the game's folder: this folder is one too deep.",
          move.empty() ? "Run the check in " + gameFolder + " instead."
                       : "Move " + move + " from here up into " + gameFolder +
                             ", beside the host, and run the check there."};
}

void checkHost(const GameFolder& game, CheckReport& report) {
  const std::string name = kHostDll;
  const auto look = lookAtModule(game.path / name, game.host);
  if (!look && !game.host.above.empty()) {
    report.findings.push_back(tooDeep(game));
    report.notWhereRead = "this folder is not the game's";
  } else if (!look && !game.host.below.empty()) {
    report.findings.push_back(
        {Severity::problem,
         name + " is not in this folder but in " + common::shownPath(game.host.below.front()) + ".",
         "Put the host, " + std::string(kPluginDll) + " and " + settings_file::kFileName +
             " side by side in the game's folder, where its .exe is: they go together."});
  } else if (!look) {
    report.findings.push_back(
        {Severity::problem,
         name + " is not in this folder, and without the script-hook host nothing loads the "
                "plugin: the commonest reason it does nothing.",
         "Install the script-hook host in the game's folder, beside " + std::string(kPluginDll) +
             "."});
  } else if (!*look) {
    report.findings.push_back(
        {Severity::problem, name + " " + look->error().message + ", so it cannot load the plugin.",
         "Install the script-hook host again."});
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
    report.findings.push_back(
        {Severity::warning, name + ": " + settings.error().message + ".", instead});
    settings = checkSettings(std::nullopt);
  }
  report.findings.insert(report.findings.end(), settings->findings.begin(),
                         settings->findings.end());
  report.unshownWarnings = settings->unshownWarnings;
  report.settingsPath = game.path / name;
  report.settings = settings->settings;
  if (report.notWhereRead.empty()) report.notWhereRead = settings->notWhereRead;
}

// What the plugin finds in a game folder: Kestova.dll, the host that loads it, then the settings
// file and the look-alikes a player may have made of it; and, where one is missing, where it is
// instead, one folder up or down.
CheckReport checkGameFolder(const fs::path& folder, Machine& machine) {
  GameFolder game{folder, common::shownPath(common::wholePath(folder)),
                  findFilePlaces(folder, kPluginDll), findFilePlaces(folder, kHostDll),
                  findFilePlaces(folder, settings_file::kFileName)};

  CheckReport report;
  report.heading =
      "folder: " + game.shown + ", checked as the plugin finds it when the game starts here.";
  checkPlugin(game, report);
  checkHost(game, report);
  checkSettingsHere(game, machine, report);
  return report;
}

}  // namespace

common::Result<CheckReport> checkPath(const std::optional<std::string>& path, Machine& machine) {
  if (!path) {
    const std::string fallback = std::string("./") + settings_file::kFileName;
    return checkSettingsFile(common::pathFromUtf8(fallback), fallback, machine);
  }
  const fs::path target = common::pathFromUtf8(*path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) return checkGameFolder(target, machine);
  return checkSettingsFile(target, common::displayPath(*path, 200), machine);
}

}  // namespace cli
