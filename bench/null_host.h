// The hosts the tick benchmarks bind to the host library: they answer a path's prepared results
// in order, never switch context and trace nothing. One of them also writes every call down,
// for checking what a tick calls; the other, which the timings use, does nothing else at all.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "bench/tick_paths.h"
#include "sim/host_backend.h"

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

struct HostCall {
  enum class Kind : uint8_t { init, push, call, wait };
  Kind kind;
  uint64_t value;  // the hash, the pushed value or the wait's duration
};

class RecordingHost final : public NullHost {
 public:
  using NullHost::NullHost;
  const std::vector<HostCall>& calls() const { return calls_; }

  void scriptWait(uint32_t duration) override {
    calls_.push_back({HostCall::Kind::wait, duration});
    NullHost::scriptWait(duration);
  }
  void nativeInit(uint64_t hash) override { calls_.push_back({HostCall::Kind::init, hash}); }
  void nativePush64(uint64_t value) override { calls_.push_back({HostCall::Kind::push, value}); }
  uint64_t* nativeCall() override {
    calls_.push_back({HostCall::Kind::call, 0});
    return NullHost::nativeCall();
  }

 private:
  std::vector<HostCall> calls_;
};

}  // namespace bench
