// UTF-8 and UTF-16, the one converter of the product code: the settings files saved as UTF-16 and
// Windows' wide-character names and console both pass through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// Appends one code point as UTF-8; a surrogate or a value past U+10FFFF becomes U+FFFD.
void appendUtf8(std::string& out, uint32_t codePoint);

// UTF-16 code units to UTF-8: a pair becomes its code point, a lone half becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view units);

// UTF-8 to UTF-16: each byte that starts no valid sequence becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view bytes);

// The length of the valid UTF-8 sequence at bytes[i], or 0. Overlong forms, surrogates and code
// points past U+10FFFF are not valid.
size_t utf8Length(std::string_view bytes, size_t i);
// The code point of the valid sequence of that length at bytes[i], as utf8Length measured it.
uint32_t decodeUtf8(std::string_view bytes, size_t i, size_t length);

}  // namespace common
