// What the programs' Windows glue shares, for Windows builds only: a library's functions looked up
// by their types, and the system's own words for an error.
#pragma once

#include <windows.h>

#include <string>

namespace common {

// A function the library exports, or null: through void (*)(), the type GCC takes for "any
// function", as GetProcAddress is meant to be used.
template <typename Function>
Function procedure(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The system's own words for an error code, in the player's language, without the closing period;
// "Windows error N" where it has none.
std::string systemMessage(DWORD code);

}  // namespace common
