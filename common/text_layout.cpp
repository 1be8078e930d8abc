#include "common/text_layout.h"

#include <algorithm>
#include <cstdint>

#include "common/text_encoding.h"

namespace common {
namespace {

// East Asian wide and fullwidth characters, which a console shows two columns wide: Hangul Jamo,
// CJK radicals to Yi (kana, Bopomofo and the ideographs among them, less the half-width U+303F),
// Hangul syllables, CJK compatibility ideographs and forms, fullwidth forms, the common emoji and
// the CJK extension planes. Any other character counts one, a combining mark too: a row that ends
// short is harmless, one that runs into the window's edge is not.
bool isWide(uint32_t point) {
  return (point >= 0x1100 && point <= 0x115F) ||
         (point >= 0x2E80 && point <= 0xA4CF && point != 0x303F) ||
         (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
         (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
         (point >= 0xFFE0 && point <= 0xFFE6) || (point >= 0x1F300 && point <= 0x1F64F) ||
         (point >= 0x1F900 && point <= 0x1F9FF) || (point >= 0x20000 && point <= 0x3FFFD);
}

struct Character {
  size_t bytes;
  size_t columns;
};

// A byte that starts no valid sequence is one character: the console shows it as U+FFFD.
Character characterAt(std::string_view text, size_t i) {
  const size_t length = utf8Length(text, i);
  if (length == 0) return {1, 1};
  return {length, isWide(decodeUtf8(text, i, length)) ? 2u : 1u};
}

size_t columnsOf(std::string_view text) {
  size_t columns = 0;
  for (size_t i = 0; i < text.size();) {
    const Character character = characterAt(text, i);
    columns += character.columns;
    i += character.bytes;
  }
  return columns;
}

// The bytes of the longest start of word that fits in room columns, ending after its last \ or /
// when it has one, so that a path breaks between folders; at least one character.
size_t fittingStart(std::string_view word, size_t room) {
  size_t end = characterAt(word, 0).bytes;
  size_t afterSeparator = 0;
  for (size_t used = characterAt(word, 0).columns; end < word.size();) {
    if (word[end - 1] == '\\' || word[end - 1] == '/') afterSeparator = end;
    const Character next = characterAt(word, end);
    if (used + next.columns > room) break;
    used += next.columns;
    end += next.bytes;
  }
  return afterSeparator > 0 ? afterSeparator : end;
}

// One line, without its line end.
void wrapLine(std::string_view line, size_t width, std::string& out) {
  const size_t lead = std::min(line.find_first_not_of(' '), line.size());
  const size_t indent = std::min(lead + 2, width / 2);
  size_t used = 0;    // columns of the row so far
  bool fresh = true;  // the row holds no word yet
  const auto room = [&] { return used < width ? width - used : 0; };
  const auto newRow = [&] {
    out.append("\n").append(indent, ' ');
    used = indent;
    fresh = true;
  };
  for (size_t i = 0; i < line.size();) {
    const size_t start = std::min(line.find_first_not_of(' ', i), line.size());
    const size_t end = std::min(line.find(' ', start), line.size());
    std::string_view word = line.substr(start, end - start);
    if (!word.empty() && !fresh && start - i + columnsOf(word) > room()) {
      newRow();  // the spaces before the word go with the row's end
    } else {
      const size_t spaces = std::min(start - i, room());
      out.append(spaces, ' ');
      used += spaces;
    }
    while (columnsOf(word) > room()) {
      const size_t cut = fittingStart(word, room());
      out.append(word.substr(0, cut));
      word.remove_prefix(cut);
      newRow();
    }
    out.append(word);
    used += columnsOf(word);
    fresh = fresh && word.empty();
    i = end;
  }
}

}  // namespace

std::string wrapText(std::string_view utf8, size_t width) {
  std::string out;
  for (size_t begin = 0;;) {
    const size_t end = std::min(utf8.find('\n', begin), utf8.size());
    wrapLine(utf8.substr(begin, end - begin), width, out);
    if (end == utf8.size()) return out;
    out += '\n';
    begin = end + 1;
  }
}

}  // namespace common
