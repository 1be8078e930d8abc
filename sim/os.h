// What the simulator needs of the operating system's loader, one small file per platform.
#pragma once

#include <windows.h>

#include <string>

namespace sim::os {

// The library as the platform loader opens it, or null with the loader's reason in error.
void* openLibrary(const std::string& path, std::string& error);
void closeLibrary(void* library);
// Whether the library at this path is loaded in this process already.
bool isLoaded(const std::string& path);
// The module handle its DllMain received, or null when it has no DllMain to receive one.
HINSTANCE moduleHandle(void* library);
void* exportedSymbol(void* library, const char* name);
// The module an address lies in, or null.
HINSTANCE moduleContaining(const void* address);
// The folder of the running executable.
std::string executableFolder();

}  // namespace sim::os
