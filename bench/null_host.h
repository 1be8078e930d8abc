// The hosts the tick benchmarks bind through the host library's function table: they answer a
// path's prepared results in order, never switch context and trace nothing. One of them also
// writes every call down, for checking what a tick calls; the other does nothing else at all.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "bench/tick_paths.h"
#include "sim/host_backend.h"

namespace bench {

struct HostCall {
  enum class Kind : uint8_t { init, push, call, wait };
  Kind kind;
  uint64_t value;  // the hash, the pushed value or the wait's duration
};

// Each native call gets the next of the tick's prepared results, and scriptWait returns at
// once, starting the next tick's answers over. Recording is chosen at compile time, so that the
// host the timings use carries no trace of it.
template <bool kRecords>
class ReplayHost {
 public:
  explicit ReplayHost(const TickPath& path) {
    for (size_t i = 0; i < path.callCount; ++i) results_[i] = path.calls[i].result;
  }
  ~ReplayHost() { hostBind(nullptr); }
  ReplayHost(const ReplayHost&) = delete;
  ReplayHost& operator=(const ReplayHost&) = delete;

  void bind() const { hostBind(&backend_); }
  const std::vector<HostCall>& calls() const requires kRecords { return calls_; }

 private:
  static ReplayHost& self(void* host) { return *static_cast<ReplayHost*>(host); }
  void record(HostCall::Kind kind, uint64_t value) {
    if constexpr (kRecords) calls_.push_back({kind, value});
  }

  // A power of two, so that a stray extra call wraps instead of reading past the end.
  std::array<uint64_t, 32> results_{};
  uint32_t next_ = 0;
  std::vector<HostCall> calls_;
  const HostBackend backend_{
      this,
      [](void*, HINSTANCE, ScriptEntry) {},
      [](void*, HINSTANCE) {},
      [](void* h, uint32_t duration) {
        self(h).record(HostCall::Kind::wait, duration);
        self(h).next_ = 0;
      },
      [](void*, KeyboardHandler) {},
      [](void*, KeyboardHandler) {},
      [](void* h, uint64_t hash) { self(h).record(HostCall::Kind::init, hash); },
      [](void* h, uint64_t value) { self(h).record(HostCall::Kind::push, value); },
      [](void* h) {
        self(h).record(HostCall::Kind::call, 0);
        return &self(h).results_[self(h).next_++ & (self(h).results_.size() - 1)];
      },
  };
};

using NullHost = ReplayHost<false>;
using RecordingHost = ReplayHost<true>;

}  // namespace bench
