#include <sys/mman.h>
#include <unistd.h>

#include <boost/context/fiber.hpp>
#include <boost/context/stack_context.hpp>
#include <cstdlib>
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
  Entry entry = nullptr;
  void* argument = nullptr;
  void* mapping = nullptr;  // guard page first, stack above it; null once unmapped
  size_t mapped = 0;
  // Where the script continues; empty once it has finished. Never destroyed: a fiber's
  // destructor unwinds a script that has not finished, through plugin frames built without
  // exceptions, perhaps of a module already unloaded. Its stack is unmapped instead.
  union {
    ctx::fiber script;
  };
  ctx::fiber host;  // where the host continues, while the script runs
  bool finished = false;
  FiberSanitizerState scriptSide;
  FiberSanitizerState hostSide;

  Impl() {}   // NOLINT: the union's fiber is made in place by ScriptContext
  ~Impl() {}  // NOLINT: and never destroyed, see above

  void releaseStack() {
    if (mapping == nullptr) return;
    sanitizerReleaseStack(scriptSide);
    munmap(mapping, mapped);
    mapping = nullptr;
  }
};

namespace {

// Boost.Context's stack allocator interface, over a mapping with a guard page: a script that
// overruns its stack faults there instead of corrupting memory. Boost frees the stack of a
// script that finished; ScriptContext frees one that did not.
struct GuardedStack {
  ScriptContext::Impl* impl;

  ctx::stack_context allocate() {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    impl->mapped = kStackSize + page;
    impl->mapping = mmap(nullptr, impl->mapped, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (impl->mapping == MAP_FAILED) std::abort();
    mprotect(impl->mapping, page, PROT_NONE);
    char* bottom = static_cast<char*>(impl->mapping) + page;
    impl->scriptSide.stackBottom = bottom;
    impl->scriptSide.stackSize = kStackSize;
    ctx::stack_context stack;
    stack.size = kStackSize;
    stack.sp = bottom + kStackSize;
    return stack;
  }

  void deallocate(ctx::stack_context&) noexcept { impl->releaseStack(); }
};

}  // namespace

ScriptContext::ScriptContext(Entry entry, void* argument) : impl_(new Impl) {
  Impl* impl = impl_.get();
  impl->entry = entry;
  impl->argument = argument;
  new (&impl->script) ctx::fiber(std::allocator_arg, GuardedStack{impl}, [impl](ctx::fiber&& host) {
    sanitizerFinishSwitch(impl->scriptSide, impl->hostSide);
    impl->host = std::move(host);
    impl->entry(impl->argument);
    impl->finished = true;
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

void ScriptContext::switchIn() {
  sanitizerRememberCurrent(impl_->hostSide);
  sanitizerStartSwitch(impl_->hostSide, impl_->scriptSide);
  impl_->script = std::move(impl_->script).resume();
  sanitizerFinishSwitch(impl_->hostSide, impl_->scriptSide);
}

void ScriptContext::switchOut() {
  sanitizerStartSwitch(impl_->scriptSide, impl_->hostSide);
  impl_->host = std::move(impl_->host).resume();
  sanitizerFinishSwitch(impl_->scriptSide, impl_->hostSide);
}

bool ScriptContext::finished() const {
  return impl_->finished;
}

}  // namespace sim
