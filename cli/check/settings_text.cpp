#include "cli/check/settings_text.h"

#include "cli/display_text.h"

namespace cli {

SettingsText::SettingsText(const std::string& bytes)
    : bytes_(bytes),
      memory_{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()},
      units_(memory_) {}

std::string SettingsText::shown(profile::UnitRange range, size_t maxCharacters) const {
  const profile::TextEncoding encoding = units_.encoding();
  if (encoding == profile::TextEncoding::ansi || encoding == profile::TextEncoding::utf8) {
    const size_t offset = bytes_.size() - units_.size();  // the byte-order mark, if any
    return displayText(
        std::string_view(bytes_).substr(offset + range.begin, range.end - range.begin),
        maxCharacters);
  }
  // UTF-16: the units as UTF-8, so that a non-ASCII name reads as written.
  const bool little = encoding == profile::TextEncoding::utf16le;
  std::string utf8;
  for (size_t i = range.begin; i < range.end && utf8.size() < 4 * maxCharacters + 4; ++i) {
    const auto byteAt = [&](size_t k) -> uint32_t {
      return static_cast<unsigned char>(bytes_[2 + 2 * i + k]);
    };
    const uint32_t unit = little ? byteAt(0) | byteAt(1) << 8 : byteAt(0) << 8 | byteAt(1);
    if (unit < 0x80) {
      utf8 += static_cast<char>(unit);
    } else if (unit < 0x800) {
      utf8 += static_cast<char>(0xC0 | unit >> 6);
      utf8 += static_cast<char>(0x80 | (unit & 0x3F));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      utf8 += "\xEF\xBF\xBD";  // half of a pair: shown as the replacement character
    } else {
      utf8 += static_cast<char>(0xE0 | unit >> 12);
      utf8 += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
      utf8 += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return displayText(utf8, maxCharacters);
}

std::string SettingsText::folded(profile::UnitRange range) const {
  const profile::UnitRange cut = profile::untilNul(units_, range);
  std::string name;
  for (size_t i = cut.begin; i < cut.end; ++i) {
    name += static_cast<char>(profile::asciiLower(units_[i]));
  }
  return name;
}

bool SettingsText::named(profile::UnitRange range, const char* ascii) const {
  return folded(range) == lowerAscii(ascii);
}

int SettingsText::lineAt(size_t unit) {
  for (; countedTo_ < unit && countedTo_ < units_.size(); ++countedTo_) {
    const uint32_t c = units_[countedTo_];
    const bool crBeforeLf =
        c == '\r' && countedTo_ + 1 < units_.size() && units_[countedTo_ + 1] == '\n';
    if (c == '\n' || (c == '\r' && !crBeforeLf)) ++line_;
  }
  return line_;
}

}  // namespace cli
