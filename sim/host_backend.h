// How the stand-in ScriptHookVask library reaches the simulator that drives it: a table of
// plain functions, so that nothing C++ crosses the library boundary.
#pragma once

#include "host/host_api.h"

extern "C" {

struct HostBackend {
  void* self;
  void (*scriptRegister)(void* self, HINSTANCE module, ScriptEntry entry);
  void (*scriptUnregister)(void* self, HINSTANCE module);
  void (*scriptWait)(void* self, uint32_t duration);
  void (*keyboardHandlerRegister)(void* self, KeyboardHandler handler);
  void (*keyboardHandlerUnregister)(void* self, KeyboardHandler handler);
  void (*nativeInit)(void* self, uint64_t hash);
  void (*nativePush64)(void* self, uint64_t value);
  uint64_t* (*nativeCall)(void* self);
};

// Null unbinds: the functions then do nothing and results read zero.
KESTOVA_HOST_API void hostBind(const HostBackend* backend);
}
