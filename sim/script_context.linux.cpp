#include <boost/context/fiber.hpp>
#include <boost/context/protected_fixedsize_stack.hpp>
#include <memory>
#include <new>
#include <utility>

#include "sim/fiber_sanitizer.h"
#include "sim/script_context.h"

namespace sim {
namespace ctx = boost::context;

namespace {
constexpr size_t kStackSize = size_t{256} * 1024;
}

struct ScriptContext::Impl {
  ctx::stack_context stack;  // its sp is null once released
  // Where the script continues; empty once it has finished. Never destroyed: a fiber's
  // destructor unwinds a script that has not finished, through plugin frames built without
  // exceptions, perhaps of a module already unloaded. Its stack is unmapped instead.
  union {
    ctx::fiber script;
  };
  ctx::fiber host;  // where the host continues, while the script runs
  FiberSanitizerState scriptSide;
  FiberSanitizerState hostSide;

  Impl() {}   // NOLINT: the union's fiber is made in place by ScriptContext
  ~Impl() {}  // NOLINT: and never destroyed, see above

  void releaseStack() {
    if (stack.sp == nullptr) return;
    sanitizerReleaseStack(scriptSide);
    ctx::protected_fixedsize_stack().deallocate(stack);
    stack = {};
  }
};

namespace {

// Boost.Context's stack with a guard page below it, on which a script that overruns its stack
// faults instead of corrupting memory; kept by the context, which frees it when the script did
// not finish (Boost frees the stack of one that did).
struct KeptStack {
  ScriptContext::Impl* impl;

  ctx::stack_context allocate() {
    impl->stack = ctx::protected_fixedsize_stack(kStackSize).allocate();
    impl->scriptSide.stackBottom = static_cast<char*>(impl->stack.sp) - kStackSize;
    impl->scriptSide.stackSize = kStackSize;
    return impl->stack;
  }

  void deallocate(ctx::stack_context&) noexcept { impl->releaseStack(); }
};

}  // namespace

ScriptContext::ScriptContext(Entry entry) : impl_(new Impl) {
  Impl* impl = impl_.get();
  new (&impl->script)
      ctx::fiber(std::allocator_arg, KeptStack{impl}, [impl, entry](ctx::fiber&& host) {
        sanitizerFinishSwitch(impl->scriptSide, impl->hostSide);
        impl->host = std::move(host);
        entry();
        // Never resumed: the host drops a finished script.
        sanitizerStartSwitch(impl->scriptSide, impl->hostSide, true);
        return std::move(impl->host);
      });
  sanitizerCreateFiber(impl->scriptSide);
}

ScriptContext::~ScriptContext() {
  sanitizerDestroyFiber(impl_->scriptSide);
  impl_->releaseStack();
}

bool ScriptContext::switchIn() {
  sanitizerRememberCurrent(impl_->hostSide);
  sanitizerStartSwitch(impl_->hostSide, impl_->scriptSide);
  impl_->script = std::move(impl_->script).resume();
  sanitizerFinishSwitch(impl_->hostSide, impl_->scriptSide);
  return !impl_->script;
}

void ScriptContext::switchOut() {
  sanitizerStartSwitch(impl_->scriptSide, impl_->hostSide);
  impl_->host = std::move(impl_->host).resume();
  sanitizerFinishSwitch(impl_->scriptSide, impl_->hostSide);
}

}  // namespace sim
