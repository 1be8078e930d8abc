#include <windows.h>

#include <filesystem>

#include "common/console.h"
#include "common/windows_api.h"
#include "sim/os.h"

namespace sim::os {
namespace {

std::wstring widePath(const std::string& path) {
  return common::pathFromUtf8(path).make_preferred().wstring();
}

}  // namespace

common::Result<void*> openLibrary(const std::string& path) {
  HMODULE module = LoadLibraryW(widePath(path).c_str());
  if (module == nullptr) return common::Error(common::systemMessage(GetLastError()), path);
  return static_cast<void*>(module);
}

void closeLibrary(void* library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

bool isLoaded(const std::string& path) {
  HMODULE module = nullptr;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, widePath(path).c_str(),
                            &module) != 0;
}

// The handle LoadLibrary returns is the one the loader gave DllMain.
HINSTANCE moduleHandle(void* library) {
  return static_cast<HINSTANCE>(library);
}

void* exportedSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

HINSTANCE moduleContaining(const void* address) {
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  return GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module) != 0 ? module : nullptr;
}

std::string defaultPluginPath() {
  return common::utf8FromPath(common::programFolder() / "Kestova.dll");
}

}  // namespace sim::os
