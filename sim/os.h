// What the simulator needs of the operating system's loader, one small file per platform.
#pragma once

#include <windows.h>

#include <string>

#include "common/result.h"

namespace sim::os {

// The library as the platform loader opens it (never null), or the loader's reason.
common::Result<void*> openLibrary(const std::string& path);
void closeLibrary(void* library);
// Whether the library at this path is loaded in this process already.
bool isLoaded(const std::string& path);
// The module handle its DllMain received, or null when it has no DllMain to receive one.
HINSTANCE moduleHandle(void* library);
void* exportedSymbol(void* library, const char* name);
// The module an address lies in, or null.
HINSTANCE moduleContaining(const void* address);
// The plugin library beside the running executable: Kestova.so, or Kestova.dll on Windows.
std::string defaultPluginPath();

}  // namespace sim::os
