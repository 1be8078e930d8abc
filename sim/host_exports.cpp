// The stand-in ScriptHookVask library: its eight exports forward to the bound simulator.
#include <atomic>

#include "sim/host_backend.h"

namespace {

// Atomic: a plugin may call from any thread while the simulator binds another host.
std::atomic<const HostBackend*> boundBackend{nullptr};
thread_local uint64_t unboundResult = 0;

const HostBackend* bound() {
  return boundBackend.load(std::memory_order_acquire);
}

}  // namespace

extern "C" {

KESTOVA_HOST_API void hostBind(const HostBackend* backend) {
  boundBackend.store(backend, std::memory_order_release);
}

KESTOVA_HOST_API void scriptRegister(HINSTANCE module, ScriptEntry entry) {
  if (const HostBackend* host = bound()) host->scriptRegister(host->self, module, entry);
}

KESTOVA_HOST_API void scriptUnregister(HINSTANCE module) {
  if (const HostBackend* host = bound()) host->scriptUnregister(host->self, module);
}

KESTOVA_HOST_API void scriptWait(uint32_t duration) {
  if (const HostBackend* host = bound()) host->scriptWait(host->self, duration);
}

KESTOVA_HOST_API void keyboardHandlerRegister(KeyboardHandler handler) {
  if (const HostBackend* host = bound()) host->keyboardHandlerRegister(host->self, handler);
}

KESTOVA_HOST_API void keyboardHandlerUnregister(KeyboardHandler handler) {
  if (const HostBackend* host = bound()) host->keyboardHandlerUnregister(host->self, handler);
}

KESTOVA_HOST_API void nativeInit(uint64_t hash) {
  if (const HostBackend* host = bound()) host->nativeInit(host->self, hash);
}

KESTOVA_HOST_API void nativePush64(uint64_t value) {
  if (const HostBackend* host = bound()) host->nativePush64(host->self, value);
}

KESTOVA_HOST_API uint64_t* nativeCall() {
  if (const HostBackend* host = bound()) return host->nativeCall(host->self);
  unboundResult = 0;
  return &unboundResult;
}
}
