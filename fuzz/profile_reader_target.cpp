// Any bytes as a settings file: the reader must not crash, the file-backed reader must agree
// with the in-memory one, and a key the text never names must read as the default.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "profile/profile_reader.h"
#include "tests/support/bytes.h"

namespace fuzzing {
namespace {

using testing_support::asciiLower;

// Whether a name can be in the text at all. UTF-16 spreads it over every other byte, so such
// files are only checked for agreement.
bool mayName(const std::string& lowerText, bool wide, const char* name) {
  return wide || lowerText.find(asciiLower(name)) != std::string::npos;
}

}  // namespace

int profileReader(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("fuzz-settings", 0);
  FUZZ_CHECK(fd >= 0, "memfd_create failed");
  FUZZ_CHECK(ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == static_cast<ssize_t>(size),
             "cannot write the settings");
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  const std::string_view view(reinterpret_cast<const char*>(data), size);
  const profile::MemoryBytes bytes{view};
  const std::string text = asciiLower(std::string(view));
  const bool wide =
      size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
  for (const char* key : {"ShortPress", "LongPress", "HoldADS", "shortpress"}) {
    for (const int32_t fallback : {50, -7}) {
      const uint32_t inMemory =
          profile::readInt(bytes, "Settings", key, static_cast<uint32_t>(fallback));
      const uint32_t fromFile = GetPrivateProfileIntA("Settings", key, fallback, path.c_str());
      FUZZ_CHECK(inMemory == fromFile, "key %s: memory %u, file %u", key, inMemory, fromFile);
      if (!mayName(text, wide, key) || !mayName(text, wide, "Settings")) {
        FUZZ_CHECK(inMemory == static_cast<uint32_t>(fallback), "key %s invented: %u", key,
                   inMemory);
      }
    }
  }
  return 0;
}

}  // namespace fuzzing
