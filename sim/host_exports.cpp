// The stand-in ScriptHookVask library: its eight exports forward to the bound simulator.
#include "sim/host_backend.h"

namespace {
const HostBackend* bound = nullptr;
uint64_t unboundResult = 0;
}  // namespace

extern "C" {

KESTOVA_HOST_API void hostBind(const HostBackend* backend) {
  bound = backend;
}

KESTOVA_HOST_API void scriptRegister(HINSTANCE module, ScriptEntry entry) {
  if (bound != nullptr) bound->scriptRegister(bound->self, module, entry);
}

KESTOVA_HOST_API void scriptUnregister(HINSTANCE module) {
  if (bound != nullptr) bound->scriptUnregister(bound->self, module);
}

KESTOVA_HOST_API void scriptWait(uint32_t duration) {
  if (bound != nullptr) bound->scriptWait(bound->self, duration);
}

KESTOVA_HOST_API void keyboardHandlerRegister(KeyboardHandler handler) {
  if (bound != nullptr) bound->keyboardHandlerRegister(bound->self, handler);
}

KESTOVA_HOST_API void keyboardHandlerUnregister(KeyboardHandler handler) {
  if (bound != nullptr) bound->keyboardHandlerUnregister(bound->self, handler);
}

KESTOVA_HOST_API void nativeInit(uint64_t hash) {
  if (bound != nullptr) bound->nativeInit(bound->self, hash);
}

KESTOVA_HOST_API void nativePush64(uint64_t value) {
  if (bound != nullptr) bound->nativePush64(bound->self, value);
}

KESTOVA_HOST_API uint64_t* nativeCall() {
  if (bound != nullptr) return bound->nativeCall(bound->self);
  unboundResult = 0;
  return &unboundResult;
}
}
