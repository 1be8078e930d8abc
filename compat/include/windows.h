// The few Win32 names the plugin uses, for builds on other systems. On Windows the real
// <windows.h> is used instead, so the plugin's source is the same on both.
#pragma once

#ifdef _WIN32
#error "compat/include must not be on the include path of a Windows build"
#endif

#include <cstdint>

using BOOL = int;
using INT = int;
using UINT = uint32_t;
using DWORD = uint32_t;
using LPVOID = void*;
using LPCSTR = const char*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

#define WINAPI
#define TRUE 1
#define FALSE 0

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

extern "C" {
UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT fallback, LPCSTR fileName);
DWORD GetTickCount();
}
