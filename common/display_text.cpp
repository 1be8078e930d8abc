#include "common/display_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "common/console.h"
#include "common/text_encoding.h"

namespace common {
namespace {

// Characters a terminal or an XML document takes for more than text: C1 controls (U+009B starts
// an escape sequence in some terminals), the bidirectional overrides and isolates, which reorder
// what follows them, and U+FFFE and U+FFFF, which XML does not allow.
bool takenForMore(uint32_t point) {
  return (point >= 0x80 && point <= 0x9F) || (point >= 0x202A && point <= 0x202E) ||
         (point >= 0x2066 && point <= 0x2069) || point == 0xFFFE || point == 0xFFFF;
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
    if (length > 0 && !takenForMore(decodeUtf8(bytes, i, length))) {
      shown.append(bytes.substr(i, length));
      i += length;
    } else {
      // One character, each of its bytes escaped: a cut never falls between them.
      for (const size_t end = i + std::max<size_t>(length, 1); i < end; ++i) {
        char escaped[8];
        std::snprintf(escaped, sizeof(escaped), "\\x%02X", static_cast<unsigned char>(bytes[i]));
        shown += escaped;
      }
    }
  }
  return shown;
}

std::string displayPath(std::string_view bytes, size_t maxCharacters) {
  std::vector<size_t> starts;  // of each character, as displayText counts them
  for (size_t i = 0; i < bytes.size(); i += std::max<size_t>(utf8Length(bytes, i), 1)) {
    starts.push_back(i);
  }
  if (starts.size() <= maxCharacters) return displayText(bytes, maxCharacters);
  // The start says which drive and where from; the end is what the message is about.
  const size_t head = maxCharacters * 3 / 10;
  const size_t tail = maxCharacters - std::min(head + 3, maxCharacters);
  return displayText(bytes.substr(0, starts[head]), head) + "..." +
         displayText(bytes.substr(starts[starts.size() - tail]), tail);
}

std::filesystem::path wholePath(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path whole =
      std::filesystem::absolute(path.empty() ? std::filesystem::path(".") : path, ec)
          .lexically_normal();
  if (ec) return path;
  // "C:\Games\X\" and "/games/x/" name the folder as "C:\Games\X" and "/games/x" do.
  if (whole.filename().empty() && whole.has_relative_path()) whole = whole.parent_path();
  return whole;
}

std::string shownPath(const std::filesystem::path& path) {
  return displayPath(utf8FromPath(path), 200);
}

std::string lowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t begin = 0;
  for (size_t end; (end = text.find(separator, begin)) != std::string::npos; begin = end + 1) {
    parts.push_back(text.substr(begin, end - begin));
  }
  parts.push_back(text.substr(begin));
  return parts;
}

}  // namespace common
