// callNative: one native call through the host, and the argument forms it accepts.
#pragma once

#include <cstdint>

#include "host/host_api.h"

// A 32-bit integer (name hash, handle, small constant) travels zero-extended.
inline void pushNativeArg(uint32_t value) {
  nativePush64(value);
}

// A name string or an out-slot travels as its address.
inline void pushNativeArg(const void* address) {
  nativePush64(reinterpret_cast<uintptr_t>(address));
}

// nativeInit, one push per argument in parameter order, nativeCall.
template <typename... Args>
inline const uint64_t* callNative(uint64_t hash, Args... args) {
  nativeInit(hash);
  (pushNativeArg(args), ...);
  return nativeCall();
}

// Only the low 32 bits of a result mean anything; the high half may hold junk.
inline uint32_t low32(const uint64_t* slot) {
  return static_cast<uint32_t>(*slot);
}
