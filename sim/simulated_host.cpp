#include "sim/simulated_host.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

#include "sim/host_backend.h"
#include "sim/native_lookup.h"

// Protocol errors are rare: their messages are built out of line, so hot paths keep small frames.
#if defined(__GNUC__)
#define KESTOVA_COLD __attribute__((cold, noinline))
#define KESTOVA_INLINE inline __attribute__((always_inline))
#else
#define KESTOVA_COLD __declspec(noinline)
#define KESTOVA_INLINE __forceinline
#endif

namespace sim {
namespace {

constexpr uint32_t kAimGroup = 25;
constexpr uint32_t kSprintGroup = 21;
constexpr uint32_t kCameraGroup = 0;
constexpr uint32_t kAimHash = simNameHash("INPUT_AIM");
constexpr uint32_t kSprintHash = simNameHash("INPUT_SPRINT");
constexpr uint32_t kCameraHash = simNameHash("INPUT_NEXT_CAMERA");
constexpr size_t kMaxNameLength = 256;
constexpr size_t kNotTraced = SIZE_MAX;

SimulatedHost* self(void* host) {
  return static_cast<SimulatedHost*>(host);
}

// What a call from a thread other than the host's own gets as its result slot.
thread_local uint64_t foreignResult = 0;

// Its address tells threads apart, more cheaply than asking the thread library at every call.
thread_local const char threadTag = 0;

// Every call first checks its thread: the host's state belongs to the thread that runs it.
HostBackend backendFor(SimulatedHost* host) {
  return HostBackend{
      host,
      [](void* h, HINSTANCE m, ScriptEntry e) {
        if (self(h)->fromOwnThread()) self(h)->scriptRegister(m, e);
      },
      [](void* h, HINSTANCE m) {
        if (self(h)->fromOwnThread()) self(h)->scriptUnregister(m);
      },
      [](void* h, uint32_t d) {
        if (self(h)->fromOwnThread()) self(h)->scriptWait(d);
      },
      [](void* h, KeyboardHandler k) {
        if (self(h)->fromOwnThread()) self(h)->keyboardHandlerRegister(k);
      },
      [](void* h, KeyboardHandler k) {
        if (self(h)->fromOwnThread()) self(h)->keyboardHandlerUnregister(k);
      },
      [](void* h, uint64_t hash) {
        if (self(h)->fromOwnThread()) self(h)->nativeInit(hash);
      },
      [](void* h, uint64_t v) {
        if (self(h)->fromOwnThread()) self(h)->nativePush64(v);
      },
      [](void* h) { return self(h)->fromOwnThread() ? self(h)->nativeCall() : &foreignResult; },
  };
}

// Set while this thread runs keyboard callbacks, which must not change the registrations.
thread_local bool deliveringKeyboardEvent = false;

const SimulatedHost* boundHost = nullptr;

// A name read through a pointer argument, bounded so that a wild pointer to unterminated bytes
// cannot run on. A view of the plugin's bytes, not a copy: it is used before the call returns.
std::string_view readName(uint64_t address) {
  const char* name = reinterpret_cast<const char*>(static_cast<uintptr_t>(address));
  if (name == nullptr) return {};
  return std::string_view(name, strnlen(name, kMaxNameLength));
}

}  // namespace

SimulatedHost::SimulatedHost(HostOptions options)
    : options_(options),
      owner_(std::this_thread::get_id()),
      ownerTag_(&threadTag),
      backend_(std::make_unique<HostBackend>(backendFor(this))),
      junkState_(options.seed * 0x9E3779B97F4A7C15ull + 1) {}

SimulatedHost::~SimulatedHost() {
  if (boundHost == this) {
    hostBind(nullptr);
    boundHost = nullptr;
  }
}

void SimulatedHost::bind() {
  hostBind(backend_.get());
  boundHost = this;
}

bool SimulatedHost::fromOwnThread() {
  if (&threadTag == ownerTag_) return true;
  foreignCalls_.fetch_add(1, std::memory_order_relaxed);
  return false;
}

std::vector<std::string> SimulatedHost::protocolErrors() const {
  std::vector<std::string> errors = protocolErrors_;
  const uint64_t foreign = foreignCalls_.load(std::memory_order_relaxed);
  if (foreign > 0) {
    errors.push_back(std::to_string(foreign) + " host calls from a thread other than the host's");
  }
  return errors;
}

std::vector<KeyboardHandler> SimulatedHost::keyboardHandlers() const {
  const std::shared_lock lock(handlersMutex_);
  return keyboardHandlers_;
}

KESTOVA_COLD void SimulatedHost::protocolError(const char* message) {
  protocolError(std::string(message));
}

void SimulatedHost::protocolError(std::string message) {
  if (trace_.enabled()) trace_.add(TraceKind::protocolError, tick_).text = message;
  protocolErrors_.push_back(std::move(message));
}

bool SimulatedHost::insideScript(const char* function) {
  if (current_ != nullptr) return true;
  outsideScript(function);
  return false;
}

KESTOVA_COLD void SimulatedHost::outsideScript(const char* function) {
  protocolError(std::string(function) + " called outside the script");
}

// splitmix64: cheap, and the same numbers on every platform.
uint64_t SimulatedHost::junk() {
  uint64_t z = (junkState_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// The slot keeps a result only until the next host call; after that it reads as junk: the
// generator's state unmixed, which moves on as junk() would, at a fraction of its cost.
void SimulatedHost::scribbleResult() {
  resultSlot_ = (junkState_ += 0x9E3779B97F4A7C15ull) | 0x8000000000000001ull;
}

uint32_t SimulatedHost::truth(bool value) {
  if (!value) return 0;
  if (!options_.junkResults) return 1;
  const uint32_t any = static_cast<uint32_t>(junk());
  return any != 0 ? any : 2;
}

// A result the plugin has no business reading.
uint32_t SimulatedHost::unusedResult() {
  return options_.junkResults ? static_cast<uint32_t>(junk()) : 0;
}

uint64_t SimulatedHost::withHighHalf(uint32_t low) {
  const uint64_t high = options_.junkResults ? junk() >> 32 : 0;
  return (high << 32) | low;
}

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
    const auto found = std::find(keyboardHandlers_.begin(), keyboardHandlers_.end(), handler);
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

void SimulatedHost::runScript(void* script) {
  static_cast<Script*>(script)->entry();
}

void SimulatedHost::tick() {
  bind();  // the scripts of this host talk to this host
  ++tick_;
  timerRead_ = 0;
  // Each tick's junk depends on the seed and the tick alone, not on what ran before it.
  junkState_ = (options_.seed + tick_) * 0x9E3779B97F4A7C15ull;
  if (trace_.enabled()) trace_.add(TraceKind::tickBegin, tick_);
  for (size_t i = 0; i < scripts_.size(); ++i) {
    Script& script = *scripts_[i];
    if (!script.context) script.context = std::make_unique<ScriptContext>(&runScript, &script);
    current_ = &script;
    script.context->switchIn();
    current_ = nullptr;
    if (script.context->finished()) {
      protocolError("script#" + std::to_string(script.id) + " returned from its entry");
      scripts_.erase(scripts_.begin() + static_cast<std::ptrdiff_t>(i));
      --i;
    }
  }
}

void SimulatedHost::scriptRegister(HINSTANCE module, ScriptEntry entry) {
  scribbleResult();
  if (trace_.enabled()) {
    trace_.add(TraceKind::scriptRegister, tick_).text =
        symbolFor(module) + ", script#" + std::to_string(nextScriptId_);
  }
  if (!inLoader_) protocolError("scriptRegister called outside DllMain");
  if (entry == nullptr) protocolError("scriptRegister with a null script");
  if (findScript(module) != scripts_.end()) {
    protocolError("scriptRegister for a module that already has a script");
  }
  addScript(module, entry);
}

void SimulatedHost::scriptUnregister(HINSTANCE module) {
  scribbleResult();
  if (trace_.enabled()) trace_.add(TraceKind::scriptUnregister, tick_).text = symbolFor(module);
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

void SimulatedHost::scriptWait(uint32_t duration) {
  scribbleResult();
  if (trace_.enabled()) {
    TraceEntry& entry = trace_.add(TraceKind::scriptWait, tick_);
    entry.argCount = 1;
    entry.args[0] = duration;
  }
  if (!insideScript("scriptWait")) return;
  if (pending_.active) protocolError("scriptWait while a native call is still being prepared");
  current_->context->switchOut();
}

void SimulatedHost::keyboardHandlerRegister(KeyboardHandler handler) {
  scribbleResult();
  if (trace_.enabled()) trace_.add(TraceKind::keyboardHandlerRegister, tick_).text = "callback";
  if (deliveringKeyboardEvent) {
    protocolError("keyboardHandlerRegister called from a keyboard callback");
    return;
  }
  if (!inLoader_) protocolError("keyboardHandlerRegister called outside DllMain");
  const std::unique_lock lock(handlersMutex_);
  if (handler == nullptr) protocolError("keyboardHandlerRegister with a null callback");
  if (std::find(keyboardHandlers_.begin(), keyboardHandlers_.end(), handler) !=
      keyboardHandlers_.end()) {
    protocolError("keyboardHandlerRegister for a callback already registered");
  }
  keyboardHandlers_.push_back(handler);
}

void SimulatedHost::keyboardHandlerUnregister(KeyboardHandler handler) {
  scribbleResult();
  if (trace_.enabled()) trace_.add(TraceKind::keyboardHandlerUnregister, tick_).text = "callback";
  if (deliveringKeyboardEvent) {
    protocolError("keyboardHandlerUnregister called from a keyboard callback");
    return;
  }
  if (!inLoader_) protocolError("keyboardHandlerUnregister called outside DllMain");
  // Waits for deliveries in flight on other threads: after this returns, the callback is
  // never called again and its module may go.
  const std::unique_lock lock(handlersMutex_);
  const auto found = std::find(keyboardHandlers_.begin(), keyboardHandlers_.end(), handler);
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
  if (ownThread && trace_.enabled()) {
    TraceEntry& entry = trace_.add(TraceKind::keyboardEvent, tick_);
    entry.argCount = 7;
    entry.args = {key,
                  arg2,
                  arg3,
                  static_cast<uint32_t>(arg4),
                  static_cast<uint32_t>(arg5),
                  static_cast<uint32_t>(arg6),
                  static_cast<uint32_t>(arg7),
                  0};
  }
  if (ownThread) bind();
  const std::shared_lock lock(handlersMutex_);
  deliveringKeyboardEvent = true;
  for (const KeyboardHandler handler : keyboardHandlers_) {
    handler(key, arg2, arg3, arg4, arg5, arg6, arg7);
  }
  deliveringKeyboardEvent = false;
}

void SimulatedHost::nativeInit(uint64_t hash) {
  scribbleResult();
  if (!insideScript("nativeInit")) return;
  if (pending_.active) protocolError("nativeInit before the previous native was called");
  pending_.active = true;
  pending_.hash = hash;
  pending_.argCount = 0;
}

void SimulatedHost::nativePush64(uint64_t value) {
  scribbleResult();
  if (!insideScript("nativePush64")) return;
  if (!pending_.active) {
    protocolError("nativePush64 without nativeInit");
    return;
  }
  if (pending_.argCount == std::size(pending_.args)) {
    protocolError("nativePush64: more than 16 arguments");
    return;
  }
  pending_.args[pending_.argCount++] = value;
}

uint64_t* SimulatedHost::nativeCall() {
  scribbleResult();
  if (!insideScript("nativeCall")) return &resultSlot_;
  if (!pending_.active) {
    protocolError("nativeCall without nativeInit");
    return &resultSlot_;
  }
  // The pending call is read in place: nothing prepares another until this one returns.
  const PendingCall& call = pending_;
  pending_.active = false;
  const NativeInfo* native = lookupNative(call.hash);
  // An index, not a pointer: a protocol error met while answering appends to the same trace.
  size_t entryIndex = kNotTraced;
  if (trace_.enabled()) {
    entryIndex = trace_.entries().size();
    TraceEntry* entry = &trace_.add(TraceKind::native, tick_);
    entry->native = native;
    entry->hash = call.hash;
    entry->argCount = call.argCount;
    std::copy_n(call.args, std::min<size_t>(call.argCount, kMaxTracedArgs), entry->args.begin());
  }
  uint32_t low = 0;
  if (native == nullptr) {
    protocolError("nativeCall of an unknown native");
  } else if (call.argCount != native->argCount) {
    wrongArgumentCount(*native, call.argCount);
  } else {
    low = answer(*native, call, entryIndex);
  }
  // A subject handle is good only for the call right after the one that handed it out.
  if (native == nullptr ||
      (native->id != NativeId::forcedAimSubject && native->id != NativeId::weaponQuerySubject)) {
    lastHandle_ = 0;
  }
  resultSlot_ = withHighHalf(low);
  if (entryIndex != kNotTraced) trace_.entry(entryIndex).result = resultSlot_;
  return &resultSlot_;
}

uint32_t SimulatedHost::controlState(NativeId native, uint64_t group, uint64_t control) const {
  if (native == NativeId::controlWentDown && group == kAimGroup && control == kAimHash) {
    return inputs_.aimDown;
  }
  if (native == NativeId::controlCameUp && group == kAimGroup && control == kAimHash) {
    return inputs_.aimUp;
  }
  if (native == NativeId::controlActive && group == kSprintGroup && control == kSprintHash) {
    return inputs_.sprint;
  }
  if (native == NativeId::controlActive && group == kCameraGroup && control == kCameraHash) {
    return inputs_.nextCamera;
  }
  return 0;
}

// Every subject call hands out a new handle; only the newest one is good, and only once.
uint32_t SimulatedHost::freshHandle(NativeId subjectNative) {
  lastHandle_ = 0x00010000u + (++handleCounter_ & 0xFFFFu) * 0x101u +
                (subjectNative == NativeId::weaponQuerySubject ? 0x01000000u : 0u);
  lastHandleFrom_ = subjectNative;
  return lastHandle_;
}

void SimulatedHost::checkHandle(const NativeInfo& native, uint64_t handle, NativeId subjectNative) {
  if (lastHandle_ == 0 || lastHandleFrom_ != subjectNative || handle != lastHandle_) {
    staleHandle(native);
  }
}

KESTOVA_COLD void SimulatedHost::staleHandle(const NativeInfo& native) {
  protocolError(std::string(native.label) + " with a subject handle not asked for right before");
}

KESTOVA_COLD void SimulatedHost::wrongArgumentCount(const NativeInfo& native, size_t count) {
  protocolError(std::string(native.label) + " takes " + std::to_string(native.argCount) +
                " arguments, got " + std::to_string(count));
}

KESTOVA_INLINE uint32_t SimulatedHost::answer(const NativeInfo& native, const PendingCall& call,
                                              size_t entryIndex) {
  std::string_view name;
  if ((native.stringArgs & 1) != 0) {
    name = readName(call.args[0]);
    if (entryIndex != kNotTraced) trace_.entry(entryIndex).text.assign(name);
  }
  switch (native.id) {
    case NativeId::nameHash:
      return nameHashes_.of(name);
    case NativeId::controlWentDown:
    case NativeId::controlCameUp:
    case NativeId::controlActive:
      return truth(controlState(native.id, call.args[0], call.args[1]) != 0);
    case NativeId::namedStateActive:
      return truth(name == "WheelHUDin" && inputs_.wheel);
    case NativeId::hostTimer: {
      const std::vector<uint32_t>& reads = inputs_.timerReads;
      if (reads.empty()) return 0;
      return reads[std::min(timerRead_++, reads.size() - 1)];
    }
    case NativeId::perFrameHold:
      return unusedResult();
    case NativeId::forcedAimSubject:
    case NativeId::weaponQuerySubject:
      return freshHandle(native.id);
    case NativeId::forcedAim:
      checkHandle(native, call.args[0], NativeId::forcedAimSubject);
      return unusedResult();
    case NativeId::currentWeapon: {
      checkHandle(native, call.args[0], NativeId::weaponQuerySubject);
      auto* slot = reinterpret_cast<uint64_t*>(static_cast<uintptr_t>(call.args[1]));
      if (slot == nullptr) {
        protocolError("currentWeapon with a null weapon slot");
        return 0;
      }
      // A failed query leaves junk in the slot, at times the very identifier of no weapon.
      const uint64_t junkHigh = junk() & 0xFFFFFFFF00000000ull;
      const uint32_t weapon =
          inputs_.weaponQueryFails
              ? (junk() % 2 != 0 ? simNameHash("WEAPON_UNARMED") : static_cast<uint32_t>(junk()))
              : nameHashes_.of(inputs_.weapon);
      *slot = junkHigh | weapon;
      if (entryIndex != kNotTraced) trace_.entry(entryIndex).outSlot = *slot;
      return truth(!inputs_.weaponQueryFails);
    }
  }
  return 0;
}

}  // namespace sim
