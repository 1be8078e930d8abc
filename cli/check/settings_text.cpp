#include "cli/check/settings_text.h"

#include "common/display_text.h"
#include "common/text_encoding.h"

namespace cli {

SettingsText::SettingsText(const std::string& bytes)
    : bytes_(bytes),
      memory_{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()},
      units_(memory_) {}

std::string SettingsText::shown(profile::UnitRange range, size_t maxCharacters) const {
  const profile::TextEncoding encoding = units_.encoding();
  if (encoding == profile::TextEncoding::ansi || encoding == profile::TextEncoding::utf8) {
    const size_t offset = bytes_.size() - units_.size();  // the byte-order mark, if any
    return common::displayText(
        std::string_view(bytes_).substr(offset + range.begin, range.end - range.begin),
        maxCharacters);
  }
  // UTF-16: the units as UTF-8, so that a non-ASCII name reads as written.
  const bool little = encoding == profile::TextEncoding::utf16le;
  std::u16string wide;
  for (size_t i = range.begin; i < range.end && wide.size() < 2 * maxCharacters + 2; ++i) {
    const auto byteAt = [&](size_t k) -> char16_t {
      return static_cast<unsigned char>(bytes_[2 + 2 * i + k]);
    };
    wide += static_cast<char16_t>(little ? byteAt(0) | byteAt(1) << 8 : byteAt(0) << 8 | byteAt(1));
  }
  const std::string utf8 = common::utf8FromUtf16(wide);
  return common::displayText(utf8, maxCharacters);
}

std::string SettingsText::folded(profile::UnitRange range) const {
  const profile::UnitRange cut = profile::untilNul(units_, range);
  std::string name;
  for (size_t i = cut.begin; i < cut.end; ++i) {
    name += static_cast<char>(profile::asciiLower(units_[i]));
  }
  return name;
}

}  // namespace cli
