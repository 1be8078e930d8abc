// The host's registrations: scripts and keyboard callbacks, as a module's DllMain makes and
// undoes them, and keyboard events delivered to the callbacks registered.
#include <algorithm>
#include <mutex>
#include <thread>

#include "sim/simulated_host.h"

namespace sim {
namespace {

// Set while this thread runs keyboard callbacks, which must not change the registrations.
thread_local bool deliveringKeyboardEvent = false;

}  // namespace

std::string SimulatedHost::symbolFor(HINSTANCE module) {
  if (inLoader_ && loaderModule_ == nullptr) loaderModule_ = module;
  if (module != nullptr && module == loaderModule_) return "module";
  return module == nullptr ? "null module" : "foreign module";
}

void SimulatedHost::beginLoaderCall(HINSTANCE module) {
  inLoader_ = true;
  loaderModule_ = module;
}

void SimulatedHost::endLoaderCall(HINSTANCE module) {
  inLoader_ = false;
  if (loaderModule_ != nullptr && module != nullptr && loaderModule_ != module) {
    protocolError("DllMain registered with a handle other than its module's");
  }
  loaderModule_ = module;
}

void SimulatedHost::moduleUnloaded(HINSTANCE module,
                                   const std::vector<KeyboardHandler>& ownHandlers) {
  const auto script = findScript(module);
  if (script != scripts_.end()) {
    protocolError("module unloaded with its script still registered");
    scripts_.erase(script);
  }
  const std::unique_lock lock(handlersMutex_);
  for (const KeyboardHandler handler : ownHandlers) {
    const auto found = std::ranges::find(keyboardHandlers_, handler);
    if (found != keyboardHandlers_.end()) {
      protocolError("module unloaded with its keyboard callback still registered");
      keyboardHandlers_.erase(found);
    }
  }
}

void SimulatedHost::addScript(HINSTANCE module, ScriptEntry entry) {
  scripts_.push_back(std::make_unique<Script>(Script{module, entry, nextScriptId_++, nullptr}));
}

SimulatedHost::ScriptList::iterator SimulatedHost::findScript(HINSTANCE module) {
  return std::find_if(scripts_.begin(), scripts_.end(),
                      [&](const std::unique_ptr<Script>& s) { return s->module == module; });
}

void SimulatedHost::scriptRegister(HINSTANCE module, ScriptEntry entry) {
  if (!beginCall()) return;
  // Named whether traced or not: naming it is how the host learns the loader's module, which
  // endLoaderCall checks against the module's real handle.
  const std::string symbol = symbolFor(module);
  if (trace_.enabled) {
    trace_.entries.push_back({.kind = TraceKind::scriptRegister,
                              .text = symbol + ", script#" + std::to_string(nextScriptId_)});
  }
  if (!inLoader_) protocolError("scriptRegister called outside DllMain");
  if (entry == nullptr) protocolError("scriptRegister with a null script");
  if (findScript(module) != scripts_.end()) {
    protocolError("scriptRegister for a module that already has a script");
  }
  addScript(module, entry);
}

void SimulatedHost::scriptUnregister(HINSTANCE module) {
  if (!beginCall()) return;
  const std::string symbol = symbolFor(module);
  record({.kind = TraceKind::scriptUnregister, .text = symbol});
  if (!inLoader_) protocolError("scriptUnregister called outside DllMain");
  const auto found = findScript(module);
  if (found == scripts_.end()) {
    protocolError("scriptUnregister for a module with no script");
    return;
  }
  if (current_ != nullptr) {
    protocolError("scriptUnregister called from inside a script");
    return;
  }
  scripts_.erase(found);
}

void SimulatedHost::keyboardHandlerRegister(KeyboardHandler handler) {
  if (!beginCall()) return;
  record({.kind = TraceKind::keyboardHandlerRegister, .text = "callback"});
  if (deliveringKeyboardEvent) {
    protocolError("keyboardHandlerRegister called from a keyboard callback");
    return;
  }
  if (!inLoader_) protocolError("keyboardHandlerRegister called outside DllMain");
  const std::unique_lock lock(handlersMutex_);
  if (handler == nullptr) protocolError("keyboardHandlerRegister with a null callback");
  if (std::ranges::find(keyboardHandlers_, handler) != keyboardHandlers_.end()) {
    protocolError("keyboardHandlerRegister for a callback already registered");
  }
  keyboardHandlers_.push_back(handler);
}

void SimulatedHost::keyboardHandlerUnregister(KeyboardHandler handler) {
  if (!beginCall()) return;
  record({.kind = TraceKind::keyboardHandlerUnregister, .text = "callback"});
  if (deliveringKeyboardEvent) {
    protocolError("keyboardHandlerUnregister called from a keyboard callback");
    return;
  }
  if (!inLoader_) protocolError("keyboardHandlerUnregister called outside DllMain");
  // Waits for deliveries in flight on other threads: after this returns, the callback is
  // never called again and its module may go.
  const std::unique_lock lock(handlersMutex_);
  const auto found = std::ranges::find(keyboardHandlers_, handler);
  if (found == keyboardHandlers_.end()) {
    protocolError("keyboardHandlerUnregister for a callback that is not registered");
    return;
  }
  keyboardHandlers_.erase(found);
}

void SimulatedHost::sendKeyboardEvent(uint32_t key, uint16_t arg2, uint8_t arg3, int32_t arg4,
                                      int32_t arg5, int32_t arg6, int32_t arg7) {
  // From another thread the event is delivered but not traced: the trace is the host thread's.
  const bool ownThread = std::this_thread::get_id() == owner_;
  if (ownThread) {
    // The signed arguments as their 32 bits, as the call passes them.
    const auto bits = [](int32_t value) { return static_cast<uint32_t>(value); };
    record({.kind = TraceKind::keyboardEvent,
            .argCount = 7,
            .args = {key, arg2, arg3, bits(arg4), bits(arg5), bits(arg6), bits(arg7)}});
    bind();
  }
  const std::shared_lock lock(handlersMutex_);
  deliveringKeyboardEvent = true;
  for (const KeyboardHandler handler : keyboardHandlers_) {
    handler(key, arg2, arg3, arg4, arg5, arg6, arg7);
  }
  deliveringKeyboardEvent = false;
}

}  // namespace sim
