// GetTickCount for non-Windows builds: milliseconds of a monotonic clock, wrapping at 2^32.
#include <time.h>
#include <windows.h>

extern "C" DWORD GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}
