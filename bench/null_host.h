// The hosts the tick benchmarks bind to the host library: they answer a path's prepared results
// in order, never switch context and trace nothing. One of them also writes every call down,
// for checking what a tick calls; the other, which the timings use, does nothing else at all.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/tick_paths.h"
#include "sim/host_backend.h"
#include "sim/trace.h"

namespace bench {

// Each native call gets the next of the tick's prepared results, and scriptWait returns at
// once, starting the next tick's answers over.
class NullHost : public HostBackend {
 public:
  explicit NullHost(const TickPath& path) {
    for (size_t i = 0; i < path.callCount; ++i) results_[i] = path.calls[i].result;
  }
  virtual ~NullHost() { hostBind(nullptr); }
  NullHost(const NullHost&) = delete;
  NullHost& operator=(const NullHost&) = delete;

  void bind() { hostBind(this); }

  void scriptRegister(HINSTANCE, ScriptEntry) override {}
  void scriptUnregister(HINSTANCE) override {}
  void scriptWait(uint32_t) override { next_ = 0; }
  void keyboardHandlerRegister(KeyboardHandler) override {}
  void keyboardHandlerUnregister(KeyboardHandler) override {}
  void nativeInit(uint64_t) override {}
  void nativePush64(uint64_t) override {}
  uint64_t* nativeCall() override { return &results_[next_++ & (results_.size() - 1)]; }

 private:
  // A power of two, so that a stray extra call wraps instead of reading past the end.
  std::array<uint64_t, 32> results_{};
  uint32_t next_ = 0;
};

// Writes every call down as the simulator's trace shows it: a name by its text and the weapon
// query's slot as "&slot", so that the plugin's calls and the floor's compare equal although
// their literals and slots lie at different addresses.
class RecordingHost final : public NullHost {
 public:
  using NullHost::NullHost;
  const std::vector<std::string>& calls() const { return calls_; }

  void scriptWait(uint32_t duration) override {
    calls_.push_back("scriptWait(" + std::to_string(duration) + ")");
    NullHost::scriptWait(duration);
  }
  void nativeInit(uint64_t hash) override {
    call_ = {};
    call_.hash = hash;
    call_.native = sim::findNative(hash);
  }
  void nativePush64(uint64_t value) override {
    if (call_.argCount < sim::kMaxTracedArgs) call_.args[call_.argCount] = value;
    ++call_.argCount;
  }
  uint64_t* nativeCall() override {
    if (sim::argRole(call_, 0) == sim::ArgRole::name) {
      call_.text = reinterpret_cast<const char*>(static_cast<uintptr_t>(call_.args[0]));
    }
    calls_.push_back(sim::formatTraceEntry(call_));
    return NullHost::nativeCall();
  }

 private:
  sim::TraceEntry call_;
  std::vector<std::string> calls_;
};

}  // namespace bench
