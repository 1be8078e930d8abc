#include <dlfcn.h>

#include <filesystem>
#include <vector>

#include "sim/plugin_module.h"
#include "sim/simulated_host.h"

namespace sim {

std::string defaultPluginPath() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "Kestova.so").string();
}

std::unique_ptr<PluginModule> PluginModule::load(SimulatedHost& host, const std::string& path,
                                                 std::string& error) {
  // A second load of a loaded library only counts up: DllMain would not run for this host.
  if (void* loaded = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD); loaded != nullptr) {
    dlclose(loaded);
    error = "cannot load " + path + ": already loaded in this process";
    return nullptr;
  }
  host.bind();
  host.beginLoaderCall(nullptr);
  // RTLD_NOW: a missing host function fails the load here, not at the first tick.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    host.endLoaderCall(nullptr);
    // dlerror names the file itself; say it once.
    const char* raw = dlerror();
    std::string reason = raw != nullptr ? raw : "unknown error";
    if (reason.rfind(path + ": ", 0) == 0) reason.erase(0, path.size() + 2);
    error = "cannot load " + path + ": " + reason;
    return nullptr;
  }
  Dl_info info{};
  void* entry = dlsym(library, "DllMain");
  if (entry == nullptr || dladdr(entry, &info) == 0) {
    host.endLoaderCall(nullptr);
    dlclose(library);
    error = "cannot load " + path + ": not a plugin (no DllMain)";
    return nullptr;
  }
  const auto handle = static_cast<HINSTANCE>(info.dli_fbase);
  host.endLoaderCall(handle);
  return std::unique_ptr<PluginModule>(new PluginModule(host, library, handle));
}

PluginModule::~PluginModule() {
  std::vector<KeyboardHandler> own;
  for (const KeyboardHandler handler : host_.keyboardHandlers()) {
    if (contains(reinterpret_cast<const void*>(handler))) own.push_back(handler);
  }
  host_.bind();
  host_.beginLoaderCall(handle_);
  dlclose(library_);
  host_.endLoaderCall(handle_);
  host_.moduleUnloaded(handle_, own);
}

void* PluginModule::symbol(const char* name) const {
  return dlsym(library_, name);
}

bool PluginModule::contains(const void* address) const {
  Dl_info info{};
  return dladdr(address, &info) != 0 && info.dli_fbase == handle_;
}

}  // namespace sim
