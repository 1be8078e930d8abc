#include "cli/display_text.h"

#include <cstdint>
#include <cstdio>

namespace cli {
namespace {

// The length of the valid UTF-8 sequence at bytes[i], or 0. Overlong forms, surrogates and
// code points past U+10FFFF are not valid.
size_t utf8Length(std::string_view bytes, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  size_t length = 0;
  uint32_t point = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    point = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    point = lead & 0x07u;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    point = (point << 6) | (byte(i + k) & 0x3Fu);
  }
  const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
  const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
  return overlong || surrogate || point > 0x10FFFF ? 0 : length;
}

}  // namespace

std::string displayText(std::string_view bytes, size_t maxCharacters) {
  std::string shown;
  size_t characters = 0;
  for (size_t i = 0; i < bytes.size(); ++characters) {
    if (characters == maxCharacters) return shown + "...";
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += bytes[i++];
      continue;
    }
    const size_t length = byte >= 0x80 ? utf8Length(bytes, i) : 0;
    if (length > 0) {
      shown.append(bytes.substr(i, length));
      i += length;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", byte);
      shown += escaped;
      ++i;
    }
  }
  return shown;
}

std::string lowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

}  // namespace cli
