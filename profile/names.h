// Section and key names as the reader matches them: trimmed, up to a NUL, ASCII letters in
// either case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "profile/lines.h"

namespace profile {

inline uint32_t asciiLower(uint32_t unit) {
  return unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit;
}

// The reader trims the names it is asked for too, and of line ends as well as blanks.
inline std::string_view askedName(const char* name) {
  const auto isBlank = [](char c) {
    return isTrimmedSpace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r';
  };
  std::string_view asked(name);
  while (!asked.empty() && isBlank(asked.front())) asked.remove_prefix(1);
  while (!asked.empty() && isBlank(asked.back())) asked.remove_suffix(1);
  return asked;
}

template <typename Text>
bool nameEquals(const Text& text, UnitRange name, std::string_view asked) {
  const UnitRange cut = untilNul(text, name);
  if (cut.end - cut.begin != asked.size()) return false;
  for (size_t i = 0; i < asked.size(); ++i) {
    const uint32_t unit = static_cast<unsigned char>(asked[i]);
    if (asciiLower(text[cut.begin + i]) != asciiLower(unit)) return false;
  }
  return true;
}

}  // namespace profile
