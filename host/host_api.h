// The eight functions of ScriptHookVask.dll, as the plugin imports them: by plain name, C linkage.
#pragma once

#include <windows.h>

#include <cstdint>

#if defined(_WIN32) && defined(KESTOVA_HOST_IMPLEMENTATION)
#define KESTOVA_HOST_API __declspec(dllexport)
#elif defined(_WIN32)
#define KESTOVA_HOST_API __declspec(dllimport)
#else
#define KESTOVA_HOST_API __attribute__((visibility("default")))
#endif

// Key code, a 16-bit and an 8-bit value, then four 32-bit integers (the 4th to 7th arguments).
using KeyboardHandler = void (*)(uint32_t key, uint16_t arg2, uint8_t arg3, int32_t arg4,
                                 int32_t arg5, int32_t arg6, int32_t arg7);
using ScriptEntry = void (*)();

extern "C" {
KESTOVA_HOST_API void scriptRegister(HINSTANCE module, ScriptEntry script);
KESTOVA_HOST_API void scriptUnregister(HINSTANCE module);
// Returns on a later host tick; the plugin always passes 0.
KESTOVA_HOST_API void scriptWait(uint32_t duration);
KESTOVA_HOST_API void keyboardHandlerRegister(KeyboardHandler handler);
KESTOVA_HOST_API void keyboardHandlerUnregister(KeyboardHandler handler);
KESTOVA_HOST_API void nativeInit(uint64_t hash);
KESTOVA_HOST_API void nativePush64(uint64_t value);
// The slot holds the result only until the next host call.
KESTOVA_HOST_API uint64_t* nativeCall();
}
