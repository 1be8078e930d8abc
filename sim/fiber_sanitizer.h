// Tells AddressSanitizer and ThreadSanitizer about switches between script stacks, so that
// they follow the switch instead of reporting the new stack as a wild access. No-ops otherwise.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define KESTOVA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTOVA_ASAN 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define KESTOVA_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KESTOVA_TSAN 1
#endif
#endif

#if defined(KESTOVA_ASAN)
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif
#if defined(KESTOVA_TSAN)
#include <sanitizer/tsan_interface.h>
#endif

namespace sim {

// One side of a switch: the stack it runs on and the sanitizers' handle for it.
struct FiberSanitizerState {
  const void* stackBottom = nullptr;
  size_t stackSize = 0;
  void* fakeStack = nullptr;  // AddressSanitizer's per-fiber state
  void* tsanFiber = nullptr;  // ThreadSanitizer's fiber
};

inline void sanitizerCreateFiber([[maybe_unused]] FiberSanitizerState& fiber) {
#if defined(KESTOVA_TSAN)
  fiber.tsanFiber = __tsan_create_fiber(0);
#endif
}

inline void sanitizerDestroyFiber([[maybe_unused]] FiberSanitizerState& fiber) {
#if defined(KESTOVA_TSAN)
  if (fiber.tsanFiber != nullptr) __tsan_destroy_fiber(fiber.tsanFiber);
#endif
}

// Before a stack is unmapped with frames still on it: the shadow of their red zones would
// otherwise outlive it and poison the next mapping at the same address.
inline void sanitizerReleaseStack([[maybe_unused]] const FiberSanitizerState& fiber) {
#if defined(KESTOVA_ASAN)
  __asan_unpoison_memory_region(fiber.stackBottom, fiber.stackSize);
#endif
}

inline void sanitizerRememberCurrent([[maybe_unused]] FiberSanitizerState& self) {
#if defined(KESTOVA_TSAN)
  self.tsanFiber = __tsan_get_current_fiber();
#endif
}

// Right before jumping from `from` to `to`. A side that will never run again passes
// leaving = true, so that its fake stack is released.
inline void sanitizerStartSwitch([[maybe_unused]] FiberSanitizerState& from,
                                 [[maybe_unused]] const FiberSanitizerState& to,
                                 [[maybe_unused]] bool leaving = false) {
#if defined(KESTOVA_ASAN)
  __sanitizer_start_switch_fiber(leaving ? nullptr : &from.fakeStack, to.stackBottom, to.stackSize);
#endif
#if defined(KESTOVA_TSAN)
  __tsan_switch_to_fiber(to.tsanFiber, 0);
#endif
}

// Right after arriving; learns the stack of the side that switched here.
inline void sanitizerFinishSwitch([[maybe_unused]] FiberSanitizerState& self,
                                  [[maybe_unused]] FiberSanitizerState& from) {
#if defined(KESTOVA_ASAN)
  __sanitizer_finish_switch_fiber(self.fakeStack, &from.stackBottom, &from.stackSize);
#endif
}

}  // namespace sim
