// A plugin library loaded by the platform's own loader: dlopen on Linux (whose shim calls
// DllMain), LoadLibrary on Windows. The host sees DllMain's registrations as loader calls.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/result.h"

namespace sim {

class SimulatedHost;

// The plugin library beside the running executable: Kestova.so, or Kestova.dll on Windows.
std::string defaultPluginPath();

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

}  // namespace sim
