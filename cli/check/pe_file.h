// What a player's DLL is, from its bytes alone: a 64-bit Windows DLL or not, and the version in
// its version resource. Read without loading it, so a wrong or broken file is named, not run, and
// the same answer comes on every system.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace cli {

struct PeModule {
  static constexpr uint16_t kMachineX64 = 0x8664;
  static constexpr uint16_t kMachineX86 = 0x014C;

  uint16_t machine = 0;
  bool dll = false;
  // FileVersion of the fixed version information, when the file has a version resource.
  std::optional<std::array<uint16_t, 4>> fileVersion;
};

// The module, or why the bytes are not one: an error's message says what they are instead
// ("is not a Windows program file", "is cut short ...").
common::Result<PeModule> readPeModule(std::string_view bytes);

// "1.0.0" for 1.0.0.0, "1.2.3.4" otherwise.
std::string versionText(const std::array<uint16_t, 4>& version);

}  // namespace cli
