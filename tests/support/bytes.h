// Bytes in tests: shown in failure messages, encoded as UTF-16, compared without case.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace testing_support {

// The bytes with control, non-ASCII and backslash bytes spelled \xNN, so that a message shows
// exactly what was read; past maxBytes, only how many there were.
std::string printable(std::string_view bytes, size_t maxBytes = 200);

enum class Endian { little, big };

// UTF-16 code units as bytes in either order, optionally after a byte-order mark.
std::string utf16(std::u16string_view text, Endian endian, bool withMark = false);

// All a temporary file holds, read from its start; the file is closed.
std::string drained(std::FILE* file);

// ASCII letters in lower case, every other byte as it is.
std::string asciiLower(std::string text);

}  // namespace testing_support
