// A settings file's bytes as the code units the Windows profile reader compares: its
// byte-order mark read, and every non-ASCII character the same unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace profile {

// Every non-ASCII character reads as this unit: it never trims, never matches an ASCII name and
// is never a digit, which is all an integer read can tell of it.
constexpr uint32_t kOtherUnit = 0x80;

enum class TextEncoding { ansi, utf8, utf16le, utf16be };

constexpr bool isWide(TextEncoding encoding) {
  return encoding == TextEncoding::utf16le || encoding == TextEncoding::utf16be;
}

// Bytes held in memory; the file reader has its own source with the same two members.
struct MemoryBytes {
  std::string_view bytes;
  size_t count() const { return bytes.size(); }
  unsigned char at(size_t index) const { return static_cast<unsigned char>(bytes[index]); }
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
    size_ = isWide(encoding_) ? rest / 2 : rest;
  }

  size_t size() const { return size_; }
  TextEncoding encoding() const { return encoding_; }

  uint32_t operator[](size_t index) const {
    uint32_t unit = 0;
    if (!isWide(encoding_)) {
      unit = bytes_.at(offset_ + index);
    } else {
      const uint32_t first = bytes_.at(offset_ + 2 * index);
      const uint32_t second = bytes_.at(offset_ + 2 * index + 1);
      unit = encoding_ == TextEncoding::utf16le ? first | (second << 8) : (first << 8) | second;
    }
    return unit < 0x80 ? unit : kOtherUnit;
  }

 private:
  const Bytes& bytes_;
  TextEncoding encoding_ = TextEncoding::ansi;
  size_t offset_ = 0;
  size_t size_ = 0;
};

}  // namespace profile
