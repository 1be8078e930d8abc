#include <sys/mman.h>
#include <unistd.h>

#include <boost/context/detail/fcontext.hpp>
#include <cstdlib>

#include "sim/fiber_sanitizer.h"
#include "sim/script_context.h"

namespace sim {
namespace fc = boost::context::detail;

namespace {
constexpr size_t kStackSize = size_t{256} * 1024;
}

struct ScriptContext::Impl {
  Entry entry = nullptr;
  void* argument = nullptr;
  void* mapping = nullptr;  // guard page first, stack above it
  size_t mapped = 0;
  fc::fcontext_t script = nullptr;  // where the script continues
  fc::fcontext_t host = nullptr;    // where the host continues
  bool finished = false;
  FiberSanitizerState scriptSide;
  FiberSanitizerState hostSide;

  static void trampoline(fc::transfer_t from) {
    auto* self = static_cast<Impl*>(from.data);
    sanitizerFinishSwitch(self->scriptSide, self->hostSide);
    self->host = from.fctx;
    self->entry(self->argument);
    self->finished = true;
    // Never resumed: the host drops a finished script.
    sanitizerStartSwitch(self->scriptSide, self->hostSide, true);
    fc::jump_fcontext(self->host, nullptr);
  }
};

ScriptContext::ScriptContext(Entry entry, void* argument) : impl_(new Impl) {
  impl_->entry = entry;
  impl_->argument = argument;
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  impl_->mapped = kStackSize + page;
  impl_->mapping = mmap(nullptr, impl_->mapped, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (impl_->mapping == MAP_FAILED) std::abort();
  // A script that overruns its stack faults on the guard page instead of corrupting memory.
  mprotect(impl_->mapping, page, PROT_NONE);
  char* bottom = static_cast<char*>(impl_->mapping) + page;
  impl_->script = fc::make_fcontext(bottom + kStackSize, kStackSize, &Impl::trampoline);
  impl_->scriptSide.stackBottom = bottom;
  impl_->scriptSide.stackSize = kStackSize;
  sanitizerCreateFiber(impl_->scriptSide);
}

ScriptContext::~ScriptContext() {
  sanitizerDestroyFiber(impl_->scriptSide);
  sanitizerReleaseStack(impl_->scriptSide);
  munmap(impl_->mapping, impl_->mapped);
}

void ScriptContext::switchIn() {
  sanitizerRememberCurrent(impl_->hostSide);
  sanitizerStartSwitch(impl_->hostSide, impl_->scriptSide);
  const fc::transfer_t back = fc::jump_fcontext(impl_->script, impl_.get());
  sanitizerFinishSwitch(impl_->hostSide, impl_->scriptSide);
  impl_->script = back.fctx;
}

void ScriptContext::switchOut() {
  sanitizerStartSwitch(impl_->scriptSide, impl_->hostSide);
  const fc::transfer_t back = fc::jump_fcontext(impl_->host, nullptr);
  sanitizerFinishSwitch(impl_->scriptSide, impl_->hostSide);
  impl_->host = back.fctx;
}

bool ScriptContext::finished() const {
  return impl_->finished;
}

}  // namespace sim
