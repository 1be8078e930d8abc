#include "bench/null_host.h"

namespace bench {
namespace {

template <typename Host>
Host* self(void* host) {
  return static_cast<Host*>(host);
}

void ignoreRegister(void*, HINSTANCE, ScriptEntry) {}
void ignoreModule(void*, HINSTANCE) {}
void ignoreHandler(void*, KeyboardHandler) {}

template <typename Results>
void prepare(Results& results, const TickPath& path) {
  for (size_t i = 0; i < path.callCount; ++i) results[i] = path.calls[i].result;
}

}  // namespace

NullHost::NullHost(const TickPath& path)
    : backend_{this,
               ignoreRegister,
               ignoreModule,
               [](void* h, uint32_t) { self<NullHost>(h)->next_ = 0; },
               ignoreHandler,
               ignoreHandler,
               [](void*, uint64_t) {},
               [](void*, uint64_t) {},
               [](void* h) {
                 NullHost* host = self<NullHost>(h);
                 return &host->results_[host->next_++ & (host->results_.size() - 1)];
               }} {
  prepare(results_, path);
}

NullHost::~NullHost() {
  hostBind(nullptr);
}

void NullHost::bind() const {
  hostBind(&backend_);
}

RecordingHost::RecordingHost(const TickPath& path)
    : backend_{this,
               ignoreRegister,
               ignoreModule,
               [](void* h, uint32_t duration) {
                 self<RecordingHost>(h)->calls_.push_back({HostCall::Kind::wait, duration});
                 self<RecordingHost>(h)->next_ = 0;
               },
               ignoreHandler,
               ignoreHandler,
               [](void* h, uint64_t hash) {
                 self<RecordingHost>(h)->calls_.push_back({HostCall::Kind::init, hash});
               },
               [](void* h, uint64_t value) {
                 self<RecordingHost>(h)->calls_.push_back({HostCall::Kind::push, value});
               },
               [](void* h) {
                 RecordingHost* host = self<RecordingHost>(h);
                 host->calls_.push_back({HostCall::Kind::call, 0});
                 return &host->results_[host->next_++ & (host->results_.size() - 1)];
               }} {
  prepare(results_, path);
}

RecordingHost::~RecordingHost() {
  hostBind(nullptr);
}

void RecordingHost::bind() const {
  hostBind(&backend_);
}

}  // namespace bench
