#include "bench/null_host.h"

namespace bench {
namespace {

void ignoreRegister(void*, HINSTANCE, ScriptEntry) {}
void ignoreModule(void*, HINSTANCE) {}
void ignoreHandler(void*, KeyboardHandler) {}

}  // namespace

template <bool kRecords>
ReplayHost<kRecords>::ReplayHost(const TickPath& path)
    : backend_{this,
               ignoreRegister,
               ignoreModule,
               [](void* h, uint32_t duration) {
                 auto* host = static_cast<ReplayHost*>(h);
                 host->record(HostCall::Kind::wait, duration);
                 host->next_ = 0;
               },
               ignoreHandler,
               ignoreHandler,
               [](void* h, uint64_t hash) {
                 static_cast<ReplayHost*>(h)->record(HostCall::Kind::init, hash);
               },
               [](void* h, uint64_t value) {
                 static_cast<ReplayHost*>(h)->record(HostCall::Kind::push, value);
               },
               [](void* h) {
                 auto* host = static_cast<ReplayHost*>(h);
                 host->record(HostCall::Kind::call, 0);
                 return host->answer();
               }} {
  for (size_t i = 0; i < path.callCount; ++i) results_[i] = path.calls[i].result;
}

template <bool kRecords>
ReplayHost<kRecords>::~ReplayHost() {
  hostBind(nullptr);
}

template <bool kRecords>
void ReplayHost<kRecords>::bind() const {
  hostBind(&backend_);
}

template class ReplayHost<false>;
template class ReplayHost<true>;

}  // namespace bench
