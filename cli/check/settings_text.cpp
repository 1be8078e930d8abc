#include "cli/check/settings_text.h"

#include <algorithm>
#include <vector>

#include "common/display_text.h"
#include "common/text_encoding.h"

namespace cli {
namespace {

// Edits a misspelt name may be from a known one and still be taken for it.
constexpr size_t kCloseEdits = 2;

// Optimal string alignment distance: insertions, deletions, changes and swaps of neighbours.
size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

SettingsText::SettingsText(std::string bytes)
    : bytes_(std::move(bytes)), memory_{bytes_}, units_(memory_) {}

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

bool closeTo(const std::string& folded, const char* known) {
  const size_t edits = editDistance(folded, common::lowerAscii(known));
  return edits > 0 && edits <= kCloseEdits;
}

}  // namespace cli
