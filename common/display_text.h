// Bytes from a user's file shown in a message or a picture: valid UTF-8 kept, control characters
// and stray bytes escaped, long text shortened, so one odd file cannot break a line or an XML
// document. Beside it, the few other text helpers the checker and the simulator share.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// At most maxCharacters characters, then "..." when there was more.
std::string displayText(std::string_view bytes, size_t maxCharacters = 40);
// A path or a file name in at most maxCharacters characters: a longer one keeps its start and
// its end, the folder or file it names, with "..." between.
std::string displayPath(std::string_view bytes, size_t maxCharacters);

// The path whole, from the root, without "." and ".." or a separator at its end.
std::filesystem::path wholePath(const std::filesystem::path& path);
// A path as a message shows it: whole, or a long one shortened in the middle (displayPath).
std::string shownPath(const std::filesystem::path& path);

// ASCII letters folded to lower case, as the profile reader compares names; other bytes kept.
std::string lowerAscii(std::string text);

// "1 tap", "3 taps": a count and its noun, in the plural when the count is not 1.
inline std::string counted(size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// The parts between separators, empty ones kept: "a,,b" is "a", "", "b".
std::vector<std::string> split(const std::string& text, char separator);

}  // namespace common
