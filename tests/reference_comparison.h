// Randomized worlds run through the plugin and through the reference model side by side, each
// in a simulated host of its own, compared call for call.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

struct ComparisonCoverage {
  uint64_t ticks = 0;
  uint64_t runsForced = 0;
  uint64_t runsHold = 0;
  uint64_t runsJunk = 0;
  uint64_t latchedTicks = 0;
  uint64_t latchesTurnedOn = 0;
  uint64_t cameraCancels = 0;
  uint64_t suppressedTicks = 0;  // forced mode sent off while latched
  uint64_t failedWeaponQueries = 0;
  uint64_t wrapReleases = 0;  // releases whose timer reads cross 0x80000000 or 0
};

struct ComparisonResult {
  bool same = true;
  std::string mismatch;  // the first difference, with seed, run and tick, when !same
  ComparisonCoverage coverage;
};

// Runs `runs` worlds of `ticksPerRun` ticks each, every run with its own random settings, host
// junk mode and input rates, all drawn from `seed`.
ComparisonResult compareWithReference(uint64_t seed, int runs, int ticksPerRun);

}  // namespace testing_support
