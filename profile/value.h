// A value as the reader reads it: the text it copies out, and the integer it parses from that.
#pragma once

#include <cstddef>
#include <cstdint>

#include "profile/lines.h"

namespace profile {

// The reader copies a value into a 30-character buffer before parsing it.
constexpr size_t kValueBufferUnits = 30;

// What the reader copies out of a value: one pair of matching quotes removed, at most 29 units.
template <typename Text>
UnitRange copiedValue(const Text& text, UnitRange value) {
  UnitRange cut = untilNul(text, value);
  const size_t length = cut.end - cut.begin;
  const uint32_t first = length > 0 ? text[cut.begin] : 0;
  const bool quoted = (first == '"' || first == '\'') && length >= 2 && text[cut.end - 1] == first;
  if (quoted) ++cut.begin;
  const size_t rest = cut.end - cut.begin;
  size_t copied = rest < kValueBufferUnits - 1 ? rest : kValueBufferUnits - 1;
  // The closing quote goes only when the whole value fitted the buffer.
  if (quoted && kValueBufferUnits >= rest) --copied;
  return {cut.begin, cut.begin + copied};
}

inline uint32_t digitValue(uint32_t unit) {
  if (unit >= '0' && unit <= '9') return unit - '0';
  if (unit >= 'a' && unit <= 'z') return unit - 'a' + 10;
  if (unit >= 'A' && unit <= 'Z') return unit - 'A' + 10;
  return 36;
}

// The number the reader parses from a copied value: after control characters and spaces, an
// optional sign, then 0x / 0o / 0b (lower case only) or decimal, up to the first other character,
// wrapping modulo 2^32. Also where the digits start and stop and whether they overflowed 32 bits,
// for tools that explain a value.
struct IntegerScan {
  uint32_t value = 0;
  size_t digitsBegin = 0;  // after blanks, sign and base prefix
  size_t end = 0;          // the first unit not read as a digit
  uint32_t base = 10;
  bool negative = false;
  bool overflowed = false;  // the digits alone exceed 2^32 - 1
};

template <typename Text>
IntegerScan scanInteger(const Text& text, UnitRange range) {
  IntegerScan scan;
  size_t i = range.begin;
  while (i < range.end && text[i] <= ' ') ++i;
  if (i < range.end && (text[i] == '+' || text[i] == '-')) {
    scan.negative = text[i] == '-';
    ++i;
  }
  if (i + 1 < range.end && text[i] == '0') {
    const uint32_t prefix = text[i + 1];
    scan.base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (scan.base != 10) i += 2;
  }
  scan.digitsBegin = i;
  uint32_t magnitude = 0;
  for (; i < range.end; ++i) {
    const uint32_t digit = digitValue(text[i]);
    if (digit >= scan.base) break;
    const uint64_t wide = uint64_t{magnitude} * scan.base + digit;
    scan.overflowed = scan.overflowed || wide > 0xFFFFFFFFu;
    magnitude = static_cast<uint32_t>(wide);
  }
  scan.end = i;
  scan.value = scan.negative ? 0u - magnitude : magnitude;
  return scan;
}

}  // namespace profile
