#include "sim/plugin_module.h"

#include <vector>

#include "sim/os.h"
#include "sim/simulated_host.h"
#include "toggle/settings_file.h"

namespace sim {

common::Result<std::unique_ptr<PluginModule>> PluginModule::load(SimulatedHost& host,
                                                                 const std::string& path) {
  const auto cannotLoad = [&path](const std::string& why) {
    return common::Error("cannot load " + path + ": " + why, path);
  };
  // A second load of a loaded library only counts up: DllMain would not run for this host.
  if (os::isLoaded(path)) return cannotLoad("already loaded in this process");
  host.bind();
  host.beginLoaderCall(nullptr);
  const common::Result<void*> library = os::openLibrary(path);
  const HINSTANCE module = library ? os::moduleHandle(*library) : nullptr;
  host.endLoaderCall(module);
  if (!library) return cannotLoad(library.error().message);
  if (module == nullptr) {
    os::closeLibrary(*library);
    return cannotLoad("not a plugin (no DllMain)");
  }
  return std::unique_ptr<PluginModule>(new PluginModule(host, *library, module));
}

common::Result<LoadedPlugin> loadInFolder(SimulatedHost& host, const std::string& path,
                                          const std::optional<std::string>& settingsText) {
  const auto unprepared = [](const common::Error& error) {
    return common::Error("cannot prepare a working folder for the run: " + error.message);
  };
  common::Result<common::TempFolder> folder = common::TempFolder::make("kestova-sim");
  if (!folder) return unprepared(folder.error());
  if (settingsText) {
    const auto written = folder->write(settings_file::kFileName, *settingsText);
    if (!written) return unprepared(written.error());
  }
  if (const common::Status entered = folder->enter(); !entered) return unprepared(entered.error());
  common::Result<std::unique_ptr<PluginModule>> module = PluginModule::load(host, path);
  if (!module) return module.error();
  return LoadedPlugin{std::move(folder).value(), std::move(module).value()};
}

PluginModule::~PluginModule() {
  std::vector<KeyboardHandler> own;
  for (const KeyboardHandler handler : host_.keyboardHandlers()) {
    if (contains(reinterpret_cast<const void*>(handler))) own.push_back(handler);
  }
  host_.bind();
  host_.beginLoaderCall(handle_);
  os::closeLibrary(library_);
  host_.endLoaderCall(handle_);
  host_.moduleUnloaded(handle_, own);
}

void* PluginModule::symbol(const char* name) const {
  return os::exportedSymbol(library_, name);
}

bool PluginModule::contains(const void* address) const {
  return os::moduleContaining(address) == handle_;
}

}  // namespace sim
