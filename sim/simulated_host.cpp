// The host's tick and the calls a script makes in it: thread routing, scheduling, the protocol
// checks, the trace, and the game's answers passed back.
#include "sim/simulated_host.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

#include "sim/host_backend.h"

namespace sim {
namespace {

constexpr size_t kMaxNameLength = 256;

// What a call from a thread other than the host's own gets as its result slot.
thread_local uint64_t foreignResult = 0;

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
    : owner_(std::this_thread::get_id()), game_(options) {}

SimulatedHost::~SimulatedHost() {
  if (boundHost == this) {
    hostBind(nullptr);
    boundHost = nullptr;
  }
}

void SimulatedHost::bind() {
  hostBind(this);
  boundHost = this;
}

bool SimulatedHost::beginCall() {
  if (std::this_thread::get_id() == owner_) {
    resultSlot_ = game_.scribble();
    return true;
  }
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

void SimulatedHost::record(TraceEntry entry) {
  if (trace_.enabled) trace_.entries.push_back(std::move(entry));
}

void SimulatedHost::protocolError(std::string message) {
  record({.kind = TraceKind::protocolError, .text = message});
  protocolErrors_.push_back(std::move(message));
}

bool SimulatedHost::insideScript(const char* function) {
  if (current_ != nullptr) return true;
  protocolError(std::string(function) + " called outside the script");
  return false;
}

void SimulatedHost::tick() {
  bind();  // the scripts of this host talk to this host
  ++tick_;
  game_.beginTick(tick_);
  for (size_t i = 0; i < scripts_.size(); ++i) {
    Script& script = *scripts_[i];
    if (!script.context) script.context = std::make_unique<ScriptContext>(script.entry);
    current_ = &script;
    const bool returned = script.context->switchIn();
    current_ = nullptr;
    if (returned) {
      protocolError("script#" + std::to_string(script.id) + " returned from its entry");
      scripts_.erase(scripts_.begin() + static_cast<std::ptrdiff_t>(i));
      --i;
    }
  }
}

void SimulatedHost::scriptWait(uint32_t duration) {
  if (!beginCall()) return;
  // Once a tick: with the trace off, not even an entry is built.
  if (trace_.enabled) {
    trace_.entries.push_back({.kind = TraceKind::scriptWait, .argCount = 1, .args = {duration}});
  }
  if (!insideScript("scriptWait")) return;
  if (pending_.active) protocolError("scriptWait while a native call is still being prepared");
  current_->context->switchOut();
}

void SimulatedHost::nativeInit(uint64_t hash) {
  if (!beginCall()) return;
  if (!insideScript("nativeInit")) return;
  if (pending_.active) protocolError("nativeInit before the previous native was called");
  pending_.active = true;
  pending_.hash = hash;
  pending_.argCount = 0;
}

void SimulatedHost::nativePush64(uint64_t value) {
  if (!beginCall()) return;
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
  if (!beginCall()) return &foreignResult;
  if (!insideScript("nativeCall")) return &resultSlot_;
  if (!pending_.active) {
    protocolError("nativeCall without nativeInit");
    return &resultSlot_;
  }
  // The pending call is read in place: nothing prepares another until this one returns.
  const PendingCall& call = pending_;
  pending_.active = false;
  const NativeInfo* native = findNative(call.hash);
  // Filled in before the call's protocol errors are traced behind it.
  TraceEntry* traced = nullptr;
  if (trace_.enabled) {
    traced = &trace_.entries.emplace_back(TraceEntry{
        .kind = TraceKind::native, .native = native, .hash = call.hash, .argCount = call.argCount});
    std::copy_n(call.args, std::min<size_t>(call.argCount, kMaxTracedArgs), traced->args.begin());
  }
  std::string error;
  uint8_t faults = kNoFault;
  uint32_t low = 0;
  if (native == nullptr || call.argCount != native->argCount) {
    error = native == nullptr
                ? "nativeCall of an unknown native"
                : std::string(native->label) + " takes " + std::to_string(native->argCount) +
                      " arguments, got " + std::to_string(call.argCount);
    game_.unanswered(native);
  } else {
    std::string_view name;
    if ((native->stringArgs & 1) != 0) {
      name = readName(call.args[0]);
      if (traced != nullptr) traced->text.assign(name);
    }
    low = game_.answer(*native, call.args, name, faults,
                       traced != nullptr ? &traced->outSlot : nullptr);
  }
  resultSlot_ = game_.withHighHalf(low);
  if (traced != nullptr) traced->result = resultSlot_;
  if (!error.empty()) protocolError(error);
  if ((faults & kStaleHandle) != 0) {
    protocolError(std::string(native->label) + " with a subject handle not asked for right before");
  }
  if ((faults & kNullWeaponSlot) != 0) protocolError("currentWeapon with a null weapon slot");
  return &resultSlot_;
}

}  // namespace sim
