// The fuzz targets as plain functions: libFuzzer drives them in the fuzz build, and the test
// suite replays the kept corpus and every past finding through them in every build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// Each aborts (through a failed check) on a finding and returns 0 otherwise.
int profileReader(const uint8_t* data, size_t size);
int scenarioParser(const uint8_t* data, size_t size);
int pluginAgainstReference(const uint8_t* data, size_t size);
int settingsCheck(const uint8_t* data, size_t size);

}  // namespace fuzzing
