#include <windows.h>

#include <filesystem>

#include "common/console.h"
#include "sim/os.h"

namespace sim::os {
namespace {

std::wstring widePath(const std::string& path) {
  return std::filesystem::path(path).make_preferred().wstring();
}

std::string lastErrorText() {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  return message.substr(0, message.find_last_not_of("\r\n. ") + 1);
}

}  // namespace

common::Result<void*> openLibrary(const std::string& path) {
  HMODULE module = LoadLibraryW(widePath(path).c_str());
  if (module == nullptr) return common::Error(lastErrorText(), path);
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
  return (common::programFolder() / "Kestova.dll").string();
}

}  // namespace sim::os
