#include <sys/mman.h>
#include <unistd.h>

#include <boost/context/detail/fcontext.hpp>
#include <cstdlib>

#include "sim/script_context.h"

namespace sim {
namespace fc = boost::context::detail;

namespace {
constexpr size_t kStackSize = 256 * 1024;
}

struct ScriptContext::Impl {
  Entry entry;
  void* argument;
  void* stack = nullptr;  // guard page first, stack above it
  size_t mapped = 0;
  fc::fcontext_t script = nullptr;  // where the script continues
  fc::fcontext_t host = nullptr;    // where the host continues
  bool finished = false;

  static void trampoline(fc::transfer_t from) {
    auto* self = static_cast<Impl*>(from.data);
    self->host = from.fctx;
    self->entry(self->argument);
    self->finished = true;
    fc::jump_fcontext(self->host, nullptr);  // never resumed: the host drops a finished script
  }
};

ScriptContext::ScriptContext(Entry entry, void* argument) : impl_(new Impl{entry, argument}) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  impl_->mapped = kStackSize + page;
  impl_->stack = mmap(nullptr, impl_->mapped, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (impl_->stack == MAP_FAILED) std::abort();
  // A script that overruns its stack faults on the guard page instead of corrupting memory.
  mprotect(impl_->stack, page, PROT_NONE);
  void* top = static_cast<char*>(impl_->stack) + impl_->mapped;
  impl_->script = fc::make_fcontext(top, kStackSize, &Impl::trampoline);
}

ScriptContext::~ScriptContext() {
  munmap(impl_->stack, impl_->mapped);
}

void ScriptContext::switchIn() {
  const fc::transfer_t back = fc::jump_fcontext(impl_->script, impl_.get());
  impl_->script = back.fctx;
}

void ScriptContext::switchOut() {
  const fc::transfer_t back = fc::jump_fcontext(impl_->host, nullptr);
  impl_->host = back.fctx;
}

bool ScriptContext::finished() const {
  return impl_->finished;
}

}  // namespace sim
