// Any bytes as a settings file, checked as a player's would be, with this machine's reader
// missing, agreeing or disagreeing: every finding must be one short printable line, and the
// settings said to be in force must be the system's where there is one, else the model's.
#include <cstring>
#include <string>

#include "cli/check/settings_explainer.h"
#include "common/settings_values.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

namespace fuzzing {

namespace {

// The first byte picks the system: none, Windows or Wine; then, with one, twelve bytes of values.
std::optional<cli::SystemReading> systemFrom(const uint8_t*& data, size_t& size) {
  if (size == 0 || data[0] % 3 == 0) {
    if (size > 0) ++data, --size;
    return std::nullopt;
  }
  cli::SystemReading system;
  system.kind = data[0] % 3 == 1 ? cli::SystemKind::windows : cli::SystemKind::wine;
  system.name = "fuzz";
  ++data, --size;
  int32_t values[3] = {};
  const size_t taken = size < sizeof(values) ? size : sizeof(values);
  std::memcpy(values, data, taken);
  data += taken;
  size -= taken;
  system.settings = {values[0], values[1], values[2]};
  return system;
}

}  // namespace

int settingsCheck(const uint8_t* data, size_t size) {
  const std::optional<cli::SystemReading> system = systemFrom(data, size);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const cli::CheckReport check = cli::checkSettings(bytes, system);
  const ToggleSettings expected = system ? system->settings : common::readSettings(bytes);
  FUZZ_CHECK(check.settings == expected, "the settings in force are neither system's nor model's");
  size_t warnings = 0;
  for (const cli::Finding& finding : check.findings) {
    FUZZ_CHECK(!finding.text.empty() && finding.text.size() < 1200, "a finding of %zu bytes",
               finding.text.size());
    for (const char c : finding.text) {
      FUZZ_CHECK(c == '\t' || static_cast<unsigned char>(c) >= 0x20, "a control byte 0x%02x in: %s",
                 static_cast<unsigned>(static_cast<unsigned char>(c)), finding.text.c_str());
    }
    if (finding.severity != cli::Severity::note) ++warnings;
  }
  FUZZ_CHECK(check.warnings() == warnings + check.unshownWarnings, "warnings miscounted");
  return 0;
}

}  // namespace fuzzing
