// The Windows profile reader's rules for reading one integer, on the bytes of an INI file.
//
// Measured on a real reader: lines end at CR or LF; names and values are trimmed of space, tab,
// VT, FF and ^Z; no character starts a comment, so ";key=1" is just the key ";key"; a section name
// runs to the last ']' of its line, and a line starting with '[' but with no ']' is an entry like
// any other; names compare case-insensitively and stop at a NUL, and the names asked for are
// trimmed too, of CR and LF as well; the entries before the first header make a section with no
// name; only the first section of a name is searched and the first of duplicate keys wins. A value
// loses one pair of matching quotes, is cut to 29 characters, reads as the default when empty,
// and is otherwise parsed after skipping control characters and spaces: optional sign, then 0x /
// 0o / 0b (lower case only) or decimal, up to the first other character, wrapping modulo 2^32.
#pragma once

#include <cstddef>
#include <cstdint>

namespace profile {

// Every non-ASCII character reads as this unit: it never trims, never matches an ASCII name and
// is never a digit, which is all an integer read can tell of it.
constexpr uint32_t kOtherUnit = 0x80;
// The reader copies a value into a 30-character buffer before parsing it.
constexpr size_t kValueBufferUnits = 30;

enum class TextEncoding { ansi, utf8, utf16le, utf16be };

// Bytes held in memory; the file reader has its own source with the same two members.
struct MemoryBytes {
  const unsigned char* data;
  size_t size;
  size_t count() const { return size; }
  unsigned char at(size_t index) const { return data[index]; }
};

// The file's characters as code units, after its byte-order mark if it has one.
template <typename Bytes>
class UnitText {
 public:
  explicit UnitText(const Bytes& bytes) : bytes_(bytes) {
    const size_t n = bytes.count();
    if (n >= 3 && bytes.at(0) == 0xEF && bytes.at(1) == 0xBB && bytes.at(2) == 0xBF) {
      encoding_ = TextEncoding::utf8;
      offset_ = 3;
    } else if (n >= 2 && bytes.at(0) == 0xFF && bytes.at(1) == 0xFE) {
      encoding_ = TextEncoding::utf16le;
      offset_ = 2;
    } else if (n >= 2 && bytes.at(0) == 0xFE && bytes.at(1) == 0xFF) {
      encoding_ = TextEncoding::utf16be;
      offset_ = 2;
    }
    const size_t rest = n - offset_;
    size_ = isWide() ? rest / 2 : rest;
  }

  size_t size() const { return size_; }
  TextEncoding encoding() const { return encoding_; }

  uint32_t operator[](size_t index) const {
    uint32_t unit = 0;
    if (!isWide()) {
      unit = bytes_.at(offset_ + index);
    } else {
      const uint32_t first = bytes_.at(offset_ + 2 * index);
      const uint32_t second = bytes_.at(offset_ + 2 * index + 1);
      unit = encoding_ == TextEncoding::utf16le ? first | (second << 8) : (first << 8) | second;
    }
    return unit < 0x80 ? unit : kOtherUnit;
  }

 private:
  bool isWide() const {
    return encoding_ == TextEncoding::utf16le || encoding_ == TextEncoding::utf16be;
  }

  const Bytes& bytes_;
  TextEncoding encoding_ = TextEncoding::ansi;
  size_t offset_ = 0;
  size_t size_ = 0;
};

inline bool isTrimmedSpace(uint32_t unit) {
  return unit == ' ' || unit == '\t' || unit == '\v' || unit == '\f' || unit == 0x1A;
}

// A range of units, [begin, end).
struct UnitRange {
  size_t begin = 0;
  size_t end = 0;
  bool empty() const { return begin == end; }
};

enum class LineKind { blank, section, entry };

struct ProfileLine {
  LineKind kind = LineKind::blank;
  UnitRange whole;        // the line, without its end of line
  UnitRange name;         // section or key name, trimmed
  UnitRange value;        // entry value, trimmed
  bool hasValue = false;  // the entry has an '='
};

template <typename Text>
UnitRange trimmed(const Text& text, UnitRange range) {
  while (range.begin < range.end && isTrimmedSpace(text[range.begin])) ++range.begin;
  while (range.end > range.begin && isTrimmedSpace(text[range.end - 1])) --range.end;
  return range;
}

// A name or value as the reader compares and copies it: up to its first NUL.
template <typename Text>
UnitRange untilNul(const Text& text, UnitRange range) {
  for (size_t i = range.begin; i < range.end; ++i) {
    if (text[i] == 0) return {range.begin, i};
  }
  return range;
}

template <typename Text>
ProfileLine classifyLine(const Text& text, UnitRange whole) {
  ProfileLine line;
  line.whole = whole;
  const UnitRange body = trimmed(text, whole);
  if (body.empty()) return line;
  if (text[body.begin] == '[') {
    size_t close = body.end;
    while (close > body.begin + 1 && text[close - 1] != ']') --close;
    if (close > body.begin + 1) {
      line.kind = LineKind::section;
      line.name = trimmed(text, {body.begin + 1, close - 1});
      return line;
    }
  }
  // Anything else is an entry, even "[key=1" with no ']' or ";key=1": no character starts a
  // comment, and such keys are found when asked for by those names.
  line.kind = LineKind::entry;
  size_t equals = body.begin;
  while (equals < body.end && text[equals] != '=') ++equals;
  line.name = trimmed(text, {body.begin, equals});
  line.hasValue = equals < body.end;
  if (line.hasValue) line.value = trimmed(text, {equals + 1, body.end});
  return line;
}

// Calls visit(line) for each line until it returns false.
template <typename Text, typename Visitor>
void scanLines(const Text& text, Visitor&& visit) {
  size_t begin = 0;
  const size_t size = text.size();
  while (begin < size) {
    size_t end = begin;
    while (end < size && text[end] != '\n' && text[end] != '\r') ++end;
    if (!visit(classifyLine(text, {begin, end}))) return;
    begin = end + 1;
  }
}

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

template <typename Text>
uint32_t parseInteger(const Text& text, UnitRange range) {
  size_t i = range.begin;
  while (i < range.end && text[i] <= ' ') ++i;
  bool negative = false;
  if (i < range.end && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  uint32_t base = 10;
  if (i + 1 < range.end && text[i] == '0') {
    const uint32_t prefix = text[i + 1];
    base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  uint32_t value = 0;  // unsigned: overflow wraps modulo 2^32, as the reader's does
  for (; i < range.end; ++i) {
    const uint32_t digit = digitValue(text[i]);
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

// How parseInteger reads a range, for tools that explain a value: where the number starts and
// stops and whether its digits overflowed 32 bits. value is always parseInteger's result.
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

// The integer under key in the first section named section, or fallback.
template <typename Bytes>
uint32_t readInt(const Bytes& bytes, const char* section, const char* key, uint32_t fallback) {
  const UnitText<Bytes> text(bytes);
  const AskedName sectionName = askedName(section);
  const AskedName keyName = askedName(key);
  // The entries before the first header make a section with no name, so a "[]" header later is
  // a second section of that name and never searched.
  bool inSection = sectionName.empty();
  bool sectionSeen = inSection;
  uint32_t result = fallback;
  scanLines(text, [&](const ProfileLine& line) {
    if (line.kind == LineKind::section) {
      if (sectionSeen) return false;  // only the first section of the name is searched
      inSection = sectionSeen = nameEquals(text, line.name, sectionName);
      return true;
    }
    if (!inSection || line.kind != LineKind::entry || !nameEquals(text, line.name, keyName)) {
      return true;
    }
    const UnitRange copied = line.hasValue ? copiedValue(text, line.value) : UnitRange{};
    if (!copied.empty()) result = parseInteger(text, copied);
    return false;  // the first of duplicate keys wins, even when it reads as the default
  });
  return result;
}

}  // namespace profile
