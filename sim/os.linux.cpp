#include <dlfcn.h>

#include "common/console.h"
#include "sim/os.h"

namespace sim::os {

common::Result<void*> openLibrary(const std::string& path) {
  // RTLD_NOW: a missing host function fails the load here, not at the first tick.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library != nullptr) return library;
  // dlerror names the file itself; say it once.
  const char* raw = dlerror();
  std::string reason = raw != nullptr ? raw : "unknown error";
  if (reason.rfind(path + ": ", 0) == 0) reason.erase(0, path.size() + 2);
  return common::Error(reason, path);
}

void closeLibrary(void* library) {
  dlclose(library);
}

bool isLoaded(const std::string& path) {
  void* loaded = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (loaded != nullptr) dlclose(loaded);
  return loaded != nullptr;
}

// The loader shim hands DllMain the module's base address.
HINSTANCE moduleHandle(void* library) {
  void* entry = dlsym(library, "DllMain");
  return entry != nullptr ? moduleContaining(entry) : nullptr;
}

void* exportedSymbol(void* library, const char* name) {
  return dlsym(library, name);
}

HINSTANCE moduleContaining(const void* address) {
  Dl_info info{};
  return dladdr(address, &info) != 0 ? static_cast<HINSTANCE>(info.dli_fbase) : nullptr;
}

std::string defaultPluginPath() {
  return common::utf8FromPath(common::programFolder() / "Kestova.so");
}

}  // namespace sim::os
