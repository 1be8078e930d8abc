// Section and key names as the reader matches them: trimmed, up to a NUL, ASCII letters in
// either case.
#pragma once

#include <cstddef>
#include <cstdint>

#include "profile/lines.h"

namespace profile {

inline uint32_t asciiLower(uint32_t unit) {
  return unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit;
}

// A section or key name as the caller gave it, [begin, end).
struct AskedName {
  const char* begin;
  const char* end;
  bool empty() const { return begin == end; }
};

// The reader trims the names it is asked for too, and of line ends as well as blanks.
inline AskedName askedName(const char* name) {
  const auto isBlank = [](char c) {
    return isTrimmedSpace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r';
  };
  const char* end = name;
  while (*end != '\0') ++end;
  while (name < end && isBlank(*name)) ++name;
  while (end > name && isBlank(end[-1])) --end;
  return {name, end};
}

template <typename Text>
bool nameEquals(const Text& text, UnitRange name, AskedName asked) {
  const UnitRange cut = untilNul(text, name);
  if (cut.end - cut.begin != static_cast<size_t>(asked.end - asked.begin)) return false;
  for (size_t i = cut.begin; i < cut.end; ++i, ++asked.begin) {
    if (asciiLower(text[i]) != asciiLower(static_cast<unsigned char>(*asked.begin))) return false;
  }
  return true;
}

}  // namespace profile
