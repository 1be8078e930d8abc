// libFuzzer entry for fuzzing::pluginAgainstReference.
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzing::pluginAgainstReference(data, size);
}
