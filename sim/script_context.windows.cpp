#include <windows.h>

#include <cstdlib>

#include "sim/script_context.h"

namespace sim {

namespace {
constexpr SIZE_T kStackSize = 256 * 1024;

// GetCurrentFiber reads the thread block through gs:, which GCC's bounds check mistakes for
// an access to a zero-length array.
LPVOID currentFiber() {
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif
  return GetCurrentFiber();
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}
}  // namespace

struct ScriptContext::Impl {
  Entry entry = nullptr;
  LPVOID fiber = nullptr;
  LPVOID host = nullptr;
  bool finished = false;

  static VOID CALLBACK run(LPVOID self) {
    auto* impl = static_cast<Impl*>(self);
    impl->entry();
    impl->finished = true;
    SwitchToFiber(impl->host);  // never resumed: the host drops a finished script
  }
};

ScriptContext::ScriptContext(Entry entry) : impl_(new Impl) {
  impl_->entry = entry;
  impl_->fiber = CreateFiber(kStackSize, &Impl::run, impl_.get());
  if (impl_->fiber == nullptr) std::abort();
}

ScriptContext::~ScriptContext() {
  DeleteFiber(impl_->fiber);
}

bool ScriptContext::switchIn() {
  // Only a fiber can switch to a fiber. The thread is converted once and stays one; converting
  // a thread that already is a fiber would fail and lose its fiber data.
  if (!IsThreadAFiber()) ConvertThreadToFiber(nullptr);
  impl_->host = currentFiber();
  SwitchToFiber(impl_->fiber);
  return impl_->finished;
}

void ScriptContext::switchOut() {
  SwitchToFiber(impl_->host);
}

}  // namespace sim
