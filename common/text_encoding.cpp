#include "common/text_encoding.h"

namespace common {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool isSurrogate(uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

}  // namespace

uint32_t decodeUtf8(std::string_view bytes, size_t i, size_t length) {
  const auto byte = [&](size_t k) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[k]));
  };
  const uint32_t leadMask = length == 1 ? 0x7F : length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07;
  uint32_t point = byte(i) & leadMask;
  for (size_t k = 1; k < length; ++k) point = (point << 6) | (byte(i + k) & 0x3Fu);
  return point;
}

size_t utf8Length(std::string_view bytes, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  size_t length = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  const uint32_t point = decodeUtf8(bytes, i, length);
  const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
  return overlong || isSurrogate(point) || point > 0x10FFFF ? 0 : length;
}

void appendUtf8(std::string& out, uint32_t point) {
  if (isSurrogate(point) || point > 0x10FFFF) point = kReplacement;
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | point >> 6);
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | point >> 12);
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | point >> 18);
    out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

std::string utf8FromUtf16(std::u16string_view units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    const uint32_t unit = units[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const uint32_t next = i + 1 < units.size() ? units[i + 1] : 0;
    if (high && next >= 0xDC00 && next <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, unit);  // a lone half becomes U+FFFD there
    }
  }
  return out;
}

std::u16string utf16FromUtf8(std::string_view bytes) {
  std::u16string out;
  for (size_t i = 0; i < bytes.size();) {
    const size_t length = utf8Length(bytes, i);
    const uint32_t point = length == 0 ? kReplacement : decodeUtf8(bytes, i, length);
    i += length == 0 ? 1 : length;
    if (point >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(point);
    }
  }
  return out;
}

}  // namespace common
