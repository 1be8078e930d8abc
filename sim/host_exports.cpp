// The stand-in ScriptHookVask library: its eight exports forward to the bound host.
#include <atomic>

#include "sim/host_backend.h"

namespace {

// Atomic: a plugin may call from any thread while the simulator binds another host.
std::atomic<HostBackend*> boundBackend{nullptr};
thread_local uint64_t unboundResult = 0;

HostBackend* bound() {
  return boundBackend.load(std::memory_order_acquire);
}

}  // namespace

extern "C" {

KESTOVA_HOST_API void hostBind(HostBackend* backend) {
  boundBackend.store(backend, std::memory_order_release);
}

KESTOVA_HOST_API void scriptRegister(HINSTANCE module, ScriptEntry entry) {
  if (HostBackend* host = bound()) host->scriptRegister(module, entry);
}

KESTOVA_HOST_API void scriptUnregister(HINSTANCE module) {
  if (HostBackend* host = bound()) host->scriptUnregister(module);
}

KESTOVA_HOST_API void scriptWait(uint32_t duration) {
  if (HostBackend* host = bound()) host->scriptWait(duration);
}

KESTOVA_HOST_API void keyboardHandlerRegister(KeyboardHandler handler) {
  if (HostBackend* host = bound()) host->keyboardHandlerRegister(handler);
}

KESTOVA_HOST_API void keyboardHandlerUnregister(KeyboardHandler handler) {
  if (HostBackend* host = bound()) host->keyboardHandlerUnregister(handler);
}

KESTOVA_HOST_API void nativeInit(uint64_t hash) {
  if (HostBackend* host = bound()) host->nativeInit(hash);
}

KESTOVA_HOST_API void nativePush64(uint64_t value) {
  if (HostBackend* host = bound()) host->nativePush64(value);
}

KESTOVA_HOST_API uint64_t* nativeCall() {
  if (HostBackend* host = bound()) return host->nativeCall();
  unboundResult = 0;
  return &unboundResult;
}
}
