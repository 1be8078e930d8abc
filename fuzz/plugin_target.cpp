// Fuzzer-chosen worlds run through the plugin and the reference model side by side: any
// difference in their calls, or any protocol error, is a finding.
#include <cstring>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "host/contract.h"
#include "tests/reference_comparison.h"

namespace fuzzing {
namespace {

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t word() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | byte();
    return value;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

constexpr int64_t kSettingValues[] = {0, 1, 50, 100, -1, INT32_MIN, INT32_MAX, 30};
constexpr int64_t kHoldValues[] = {0, 1, 2, -1};
constexpr size_t kMaxTicks = 200;

// The first bytes choose the settings, from telling values or raw, or no file at all.
std::optional<std::string> settingsFrom(Bytes& in) {
  const uint8_t choice = in.byte();
  if (choice == 0xFF) return std::nullopt;
  int64_t shortPress = kSettingValues[choice & 7];
  int64_t longPress = kSettingValues[(choice >> 3) & 7];
  if ((choice & 0x40) != 0) {
    shortPress = static_cast<int32_t>(in.word());
    longPress = static_cast<int32_t>(in.word());
  }
  const int64_t hold = kHoldValues[in.byte() & 3];
  return testing_support::settingsIni(shortPress, longPress, hold);
}

}  // namespace

int pluginAgainstReference(const uint8_t* data, size_t size) {
  Bytes in(data, size);
  const std::optional<std::string> ini = settingsFrom(in);
  const uint8_t hostChoice = in.byte();
  testing_support::SideBySide pair(ini, sim::HostOptions{(hostChoice & 1) != 0, hostChoice});
  sim::TickInputs inputs;
  uint32_t clock = in.word();
  for (size_t tick = 1; tick <= kMaxTicks && !in.empty(); ++tick) {
    const uint8_t flags = in.byte();
    inputs.aimDown = (flags & 0x01) != 0;
    inputs.aimUp = (flags & 0x02) != 0;
    inputs.sprint = (flags & 0x04) != 0;
    inputs.nextCamera = (flags & 0x08) != 0;
    inputs.wheel = (flags & 0x10) != 0;
    inputs.weaponQueryFails = (flags & 0x20) != 0;
    if ((flags & 0x40) != 0) {
      inputs.weapon =
          inputs.weapon == contract::kUnarmedWeapon ? "WEAPON_PISTOL" : contract::kUnarmedWeapon;
    }
    // A step of the clock, or a jump to a value of the fuzzer's own; a second read may differ.
    clock = (flags & 0x80) != 0 ? in.word()
                                : clock + static_cast<uint32_t>(static_cast<int8_t>(in.byte()));
    inputs.timerReads = {clock, clock + static_cast<uint32_t>(static_cast<int8_t>(in.byte()))};
    std::string mismatch;
    FUZZ_CHECK(pair.tick(inputs, mismatch), "tick %zu differs:\n%s", tick, mismatch.c_str());
  }
  FUZZ_CHECK(pair.protocolKept(), "protocol errors");
  return 0;
}

}  // namespace fuzzing
