// The plugin against the reference model on a million randomized ticks.
#include <gtest/gtest.h>

#include "tests/reference_comparison.h"

TEST(RandomizedComparison, ThePluginMakesTheSameCallsAsTheReferenceModelOnAMillionTicks) {
  const testing_support::ComparisonResult result =
      testing_support::compareWithReference(20261208, 250, 4000);
  ASSERT_TRUE(result.same) << result.mismatch;
  const testing_support::ComparisonCoverage& c = result.coverage;
  EXPECT_EQ(c.ticks, 1'000'000u);
  // Worlds that never reach a path prove nothing about it.
  EXPECT_GT(c.runsForced, 50u);
  EXPECT_GT(c.runsHold, 20u);
  EXPECT_GT(c.runsJunk, 50u);
  EXPECT_GT(c.latchesTurnedOn, 3'000u);
  EXPECT_GT(c.latchedTicks, 100'000u);
  EXPECT_GT(c.cameraCancels, 1'000u);
  EXPECT_GT(c.suppressedTicks, 10'000u);
  EXPECT_GT(c.failedWeaponQueries, 10'000u);
  EXPECT_GT(c.wrapReleases, 1'000u);
  std::printf(
      "ticks %llu, turned on %llu, latched %llu, cancels %llu, suppressed %llu, wrap "
      "releases %llu, runs forced/hold/junk %llu/%llu/%llu\n",
      static_cast<unsigned long long>(c.ticks), static_cast<unsigned long long>(c.latchesTurnedOn),
      static_cast<unsigned long long>(c.latchedTicks),
      static_cast<unsigned long long>(c.cameraCancels),
      static_cast<unsigned long long>(c.suppressedTicks),
      static_cast<unsigned long long>(c.wrapReleases),
      static_cast<unsigned long long>(c.runsForced), static_cast<unsigned long long>(c.runsHold),
      static_cast<unsigned long long>(c.runsJunk));
}
