// How the stand-in ScriptHookVask library reaches what drives it: the simulated host, or a
// benchmark's do-nothing host. Its eight exports forward to the bound backend's functions.
#pragma once

#include "host/host_api.h"

class HostBackend {
 public:
  virtual void scriptRegister(HINSTANCE module, ScriptEntry entry) = 0;
  virtual void scriptUnregister(HINSTANCE module) = 0;
  virtual void scriptWait(uint32_t duration) = 0;
  virtual void keyboardHandlerRegister(KeyboardHandler handler) = 0;
  virtual void keyboardHandlerUnregister(KeyboardHandler handler) = 0;
  virtual void nativeInit(uint64_t hash) = 0;
  virtual void nativePush64(uint64_t value) = 0;
  virtual uint64_t* nativeCall() = 0;

 protected:
  ~HostBackend() = default;
};

// Null unbinds: the functions then do nothing and results read zero.
extern "C" KESTOVA_HOST_API void hostBind(HostBackend* backend);
