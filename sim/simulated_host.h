// The stand-in for the closed host library: runs registered scripts one resumption per tick,
// answers the game's natives from TickInputs, records a trace, and is strict about the protocol.
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
#include "sim/native_lookup.h"
#include "sim/natives.h"
#include "sim/script_context.h"
#include "sim/tick_inputs.h"
#include "sim/trace.h"

namespace sim {

struct HostOptions {
  // Fill the high half of every result with junk and make every true result an arbitrary
  // nonzero value, so that a plugin reading more than the low half, or comparing with 1, shows.
  bool junkResults = false;
  uint64_t seed = 1;  // of the junk, so that runs repeat
};

class SimulatedHost {
 public:
  explicit SimulatedHost(HostOptions options = {});
  ~SimulatedHost();
  SimulatedHost(const SimulatedHost&) = delete;
  SimulatedHost& operator=(const SimulatedHost&) = delete;

  // The eight host functions reach this host until another one is bound or this one dies.
  void bind();

  // What holds in the next tick; it stays as it is until changed.
  TickInputs& inputs() { return inputs_; }
  // One tick: each registered script is started or resumed once and runs to its scriptWait.
  void tick();
  uint64_t tickCount() const { return tick_; }

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
  const Trace& trace() const { return trace_; }
  // Everything the plugin did against the protocol, in order; host calls from a thread other
  // than the host's own are counted and reported last.
  std::vector<std::string> protocolErrors() const;
  size_t scriptCount() const { return scripts_.size(); }
  std::vector<KeyboardHandler> keyboardHandlers() const;
  // Whether the caller runs on the host's own thread; a call from any other is refused.
  bool fromOwnThread();

  // The eight functions, as the host library's exports forward them.
  void scriptRegister(HINSTANCE module, ScriptEntry entry);
  void scriptUnregister(HINSTANCE module);
  void scriptWait(uint32_t duration);
  void keyboardHandlerRegister(KeyboardHandler handler);
  void keyboardHandlerUnregister(KeyboardHandler handler);
  void nativeInit(uint64_t hash);
  void nativePush64(uint64_t value);
  uint64_t* nativeCall();

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

  static void runScript(void* script);
  ScriptList::iterator findScript(HINSTANCE module);
  void protocolError(std::string message);
  void protocolError(const char* message);
  void staleHandle(const NativeInfo& native);
  void wrongArgumentCount(const NativeInfo& native, size_t count);
  // Every host call asks; the rare error is made out of line so that the check inlines.
  bool insideScript(const char* function);
  void outsideScript(const char* function);
  void scribbleResult();
  uint64_t junk();
  uint32_t truth(bool value);
  uint32_t unusedResult();
  uint64_t withHighHalf(uint32_t low);
  // Inlined into nativeCall, its only caller: one frame for the two.
  uint32_t answer(const NativeInfo& native, const PendingCall& call, size_t entryIndex);
  uint32_t controlState(NativeId native, uint64_t group, uint64_t controlHash) const;
  uint32_t freshHandle(NativeId subjectNative);
  void checkHandle(const NativeInfo& native, uint64_t handle, NativeId subjectNative);
  std::string symbolFor(HINSTANCE module);

  HostOptions options_;
  std::thread::id owner_;
  const void* ownerTag_;  // a thread-local's address on the owner thread
  std::unique_ptr<HostBackend> backend_;
  TickInputs inputs_;
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
  size_t timerRead_ = 0;
  int nextScriptId_ = 1;
  PendingCall pending_;
  uint64_t resultSlot_ = 0;
  uint64_t junkState_;
  uint32_t handleCounter_ = 0;
  uint32_t lastHandle_ = 0;  // 0: no handle is good for the next call
  NameHashes nameHashes_;
  NativeId lastHandleFrom_ = NativeId::forcedAimSubject;
};

}  // namespace sim
