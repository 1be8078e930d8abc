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

#include <cstdint>
#include <string_view>

#include "profile/lines.h"
#include "profile/names.h"
#include "profile/unit_text.h"
#include "profile/value.h"

namespace profile {

// Calls visit(line) for the header and each line of the first section named section, the only
// one the reader searches, until it returns false; whether there is such a section. The entries
// before the first header make a section with no name, so a "[]" header later is a second
// section of that name and never searched.
template <typename Text, typename Visitor>
bool scanSection(const Text& text, std::string_view section, Visitor&& visit) {
  bool inSection = section.empty();
  bool sectionSeen = inSection;
  scanLines(text, [&](const ProfileLine& line) {
    if (line.kind == LineKind::section) {
      if (sectionSeen) return false;
      inSection = sectionSeen = nameEquals(text, line.name, section);
    }
    return !inSection || visit(line);
  });
  return sectionSeen;
}

// The integer under key in the first section named section, or fallback.
template <typename Bytes>
uint32_t readInt(const Bytes& bytes, const char* section, const char* key, uint32_t fallback) {
  const UnitText<Bytes> text(bytes);
  const std::string_view keyName = askedName(key);
  uint32_t result = fallback;
  scanSection(text, askedName(section), [&](const ProfileLine& line) {
    if (line.kind != LineKind::entry || !nameEquals(text, line.name, keyName)) return true;
    const UnitRange copied = line.hasValue ? copiedValue(text, line.value) : UnitRange{};
    if (!copied.empty()) result = scanInteger(text, copied).value;
    return false;  // the first of duplicate keys wins, even when it reads as the default
  });
  return result;
}

}  // namespace profile
