// The hosts the tick benchmarks bind through the host library's function table: they answer a
// path's prepared results in order, never switch context and trace nothing.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "bench/tick_paths.h"
#include "sim/host_backend.h"

namespace bench {

// Does nothing but answer: each native call gets the next of the tick's prepared results, and
// scriptWait returns at once, starting the next tick's answers over.
class NullHost {
 public:
  explicit NullHost(const TickPath& path);
  ~NullHost();
  NullHost(const NullHost&) = delete;
  NullHost& operator=(const NullHost&) = delete;

  void bind() const;

 private:
  // A power of two, so that a stray extra call wraps instead of reading past the end.
  std::array<uint64_t, 32> results_{};
  uint32_t next_ = 0;
  HostBackend backend_;
};

struct HostCall {
  enum class Kind : uint8_t { init, push, call, wait };
  Kind kind;
  uint64_t value;  // the hash, the pushed value or the wait's duration
};

// Answers as NullHost does and writes every call down, for checking what a tick calls.
class RecordingHost {
 public:
  explicit RecordingHost(const TickPath& path);
  ~RecordingHost();
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;

  void bind() const;
  const std::vector<HostCall>& calls() const { return calls_; }

 private:
  std::array<uint64_t, 32> results_{};
  uint32_t next_ = 0;
  std::vector<HostCall> calls_;
  HostBackend backend_;
};

}  // namespace bench
