// libFuzzer entry for fuzzing::settingsCheck.
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzing::settingsCheck(data, size);
}
