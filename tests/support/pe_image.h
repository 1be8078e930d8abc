// The bytes of a small Windows program file, made to measure: the header fields the checker's
// PE reader looks at, one .rsrc section, and a version resource if asked for.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace testing_support {

struct PeImage {
  uint16_t machine = 0x8664;  // x64
  bool dll = true;
  uint16_t magic = 0x20B;  // PE32+
  std::optional<std::array<uint16_t, 4>> version = std::array<uint16_t, 4>{1, 2, 3, 4};
  uint32_t fixedInfoSignature = 0xFEEF04BD;
};

std::string peBytes(const PeImage& image);

}  // namespace testing_support
