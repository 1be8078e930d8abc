// A plugin library loaded by the platform's own loader: dlopen on Linux (whose shim calls
// DllMain), LoadLibrary on Windows. The host sees DllMain's registrations as loader calls.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "common/result.h"
#include "common/temp_folder.h"

namespace sim {

class SimulatedHost;

class PluginModule {
 public:
  // Binds the host, then loads; the error says why the library will not load.
  static common::Result<std::unique_ptr<PluginModule>> load(SimulatedHost& host,
                                                            const std::string& path);
  // Unloads; registrations still held for the module afterwards are protocol errors.
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  HINSTANCE handle() const { return handle_; }
  // An exported name, or null; the Windows plugin exports none.
  void* symbol(const char* name) const;
  // Whether an address lies in this module's code or data.
  bool contains(const void* address) const;

 private:
  PluginModule(SimulatedHost& host, void* library, HINSTANCE handle)
      : host_(host), library_(library), handle_(handle) {}

  SimulatedHost& host_;
  void* library_;
  HINSTANCE handle_;
};

// The plugin as a game runs it: loaded with a folder of its own as the current directory, which
// holds the settings file the plugin reads from there (none: it runs on its defaults). The
// module goes first, while the folder is still its current directory.
struct LoadedPlugin {
  common::TempFolder folder;
  std::unique_ptr<PluginModule> module;
};

// The path is opened from inside the folder: an absolute one, unless the platform loader's own
// search for a bare name is meant.
common::Result<LoadedPlugin> loadInFolder(SimulatedHost& host, const std::string& path,
                                          const std::optional<std::string>& settingsText);

}  // namespace sim
