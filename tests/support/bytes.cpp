#include "tests/support/bytes.h"

#include <cstdio>

namespace testing_support {

std::string printable(std::string_view bytes, size_t maxBytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size() && i < maxBytes; ++i) {
    const auto unit = static_cast<unsigned char>(bytes[i]);
    if (unit >= 0x20 && unit < 0x7F && unit != '\\') {
      out += static_cast<char>(unit);
    } else {
      char code[8];
      std::snprintf(code, sizeof(code), "\\x%02X", unit);
      out += code;
    }
  }
  if (bytes.size() > maxBytes) out += "... (" + std::to_string(bytes.size()) + " bytes)";
  return out;
}

std::string utf16(std::u16string_view text, Endian endian, bool withMark) {
  std::string bytes;
  const auto put = [&](char16_t unit) {
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    bytes += endian == Endian::little ? low : high;
    bytes += endian == Endian::little ? high : low;
  };
  if (withMark) put(u'\uFEFF');
  for (const char16_t unit : text) put(unit);
  return bytes;
}

std::string asciiLower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  return text;
}

std::string drained(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

}  // namespace testing_support
