// Bytes for the profile reader's tests: failure messages that show them, and UTF-16 files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace testing_support {

// Distinct from every value the tests expect, so a default is never mistaken for a read.
inline constexpr int32_t kFallback = 1234;

// Control and non-ASCII bytes spelled out, for failure messages.
inline std::string printable(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto unit = static_cast<unsigned char>(c);
    if (unit >= 0x20 && unit < 0x7F) {
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", unit);
      out += escaped;
    }
  }
  return out;
}

enum class Endian { little, big };

inline std::string utf16(std::u16string_view text, Endian endian, bool withMark) {
  std::string bytes;
  const auto put = [&](char16_t unit) {
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    if (endian == Endian::little) {
      bytes += low;
      bytes += high;
    } else {
      bytes += high;
      bytes += low;
    }
  };
  if (withMark) put(u'\uFEFF');
  for (const char16_t unit : text) put(unit);
  return bytes;
}

}  // namespace testing_support
