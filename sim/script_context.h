// An execution context of its own for each script: the host switches in, the script switches
// back out from scriptWait. Linux uses Boost.Context's fiber, Windows the system's fibers.
#pragma once

#include <cstddef>
#include <memory>

namespace sim {

class ScriptContext {
 public:
  using Entry = void (*)();

  // The entry does not run until the first switchIn.
  explicit ScriptContext(Entry entry);
  // Frees the stack without unwinding it: a script that never returns is simply dropped.
  ~ScriptContext();
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  // From the host: runs the script until it switches out (false) or its entry returns (true).
  bool switchIn();
  // From the script: back to the host, until the next switchIn.
  void switchOut();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace sim
