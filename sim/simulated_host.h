// The stand-in for the closed host library: runs registered scripts one resumption per tick,
// passes their native calls to the simulated game, records a trace, and is strict about the
// protocol. Its tick and calls are in simulated_host.cpp, registrations and keyboard events in
// host_registrations.cpp.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/host_api.h"
#include "sim/host_backend.h"
#include "sim/natives.h"
#include "sim/script_context.h"
#include "sim/simulated_game.h"
#include "sim/trace.h"

namespace sim {

class SimulatedHost final : public HostBackend {
 public:
  explicit SimulatedHost(HostOptions options = {});
  ~SimulatedHost();
  SimulatedHost(const SimulatedHost&) = delete;
  SimulatedHost& operator=(const SimulatedHost&) = delete;

  // The eight host functions reach this host until another one is bound or this one dies.
  void bind();

  // What holds in the next tick; it stays as it is until changed.
  TickInputs& inputs() { return game_.inputs(); }
  // One tick: each registered script is started or resumed once and runs to its scriptWait.
  void tick();

  // Registration calls are legal only while the loader runs a module's DllMain. A null module
  // is learnt from the first registration; endLoaderCall checks it against the real handle.
  void beginLoaderCall(HINSTANCE module);
  void endLoaderCall(HINSTANCE module);
  // After a module is gone, nothing of it may stay registered: the host would call into nothing.
  void moduleUnloaded(HINSTANCE module, const std::vector<KeyboardHandler>& ownHandlers);

  // Registers a script as a module's DllMain would; for scripts that live in the caller.
  void addScript(HINSTANCE module, ScriptEntry entry);
  // Delivers one keyboard event to every registered callback, outside any script. Any thread
  // may deliver, as a real host's input thread does.
  void sendKeyboardEvent(uint32_t key, uint16_t arg2, uint8_t arg3, int32_t arg4, int32_t arg5,
                         int32_t arg6, int32_t arg7);

  Trace& trace() { return trace_; }
  // Everything the plugin did against the protocol, in order; host calls from a thread other
  // than the host's own are counted and reported last.
  std::vector<std::string> protocolErrors() const;
  size_t scriptCount() const { return scripts_.size(); }
  std::vector<KeyboardHandler> keyboardHandlers() const;

  // The eight functions, as the host library's exports forward them; each first checks its
  // thread.
  void scriptRegister(HINSTANCE module, ScriptEntry entry) override;
  void scriptUnregister(HINSTANCE module) override;
  void scriptWait(uint32_t duration) override;
  void keyboardHandlerRegister(KeyboardHandler handler) override;
  void keyboardHandlerUnregister(KeyboardHandler handler) override;
  void nativeInit(uint64_t hash) override;
  void nativePush64(uint64_t value) override;
  uint64_t* nativeCall() override;

 private:
  struct Script {
    HINSTANCE module;
    ScriptEntry entry;
    int id;
    std::unique_ptr<ScriptContext> context;
  };
  struct PendingCall {
    bool active = false;
    uint64_t hash = 0;
    uint8_t argCount = 0;
    uint64_t args[16] = {};
  };

  using ScriptList = std::vector<std::unique_ptr<Script>>;

  // Where each of the eight calls begins: whether it runs on the host's own thread (a call from
  // any other is refused), where the last call's result turns to junk.
  bool beginCall();
  ScriptList::iterator findScript(HINSTANCE module);
  // Into the trace, while it is on.
  void record(TraceEntry entry);
  void protocolError(std::string message);
  // Every script call asks; false, with the protocol error made, outside any script.
  bool insideScript(const char* function);
  std::string symbolFor(HINSTANCE module);

  std::thread::id owner_;
  SimulatedGame game_;
  Trace trace_;
  std::vector<std::string> protocolErrors_;
  ScriptList scripts_;
  std::vector<KeyboardHandler> keyboardHandlers_;
  mutable std::shared_mutex handlersMutex_;
  std::atomic<uint64_t> foreignCalls_{0};
  Script* current_ = nullptr;
  HINSTANCE loaderModule_ = nullptr;
  bool inLoader_ = false;
  uint64_t tick_ = 0;
  int nextScriptId_ = 1;
  PendingCall pending_;
  uint64_t resultSlot_ = 0;
};

}  // namespace sim
