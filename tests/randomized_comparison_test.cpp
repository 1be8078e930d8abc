// The plugin against the reference model on a million randomized ticks, in four quarters with
// seeds of their own, which a parallel test run runs side by side. Each quarter reaches every
// path thousands of times, so the AddressSanitizer run takes one.
#include <gtest/gtest.h>

#include "tests/reference_comparison.h"

namespace {

class RandomizedComparison : public testing::TestWithParam<uint64_t> {};

TEST_P(RandomizedComparison, ThePluginMakesTheSameCallsAsTheReferenceModel) {
  const testing_support::ComparisonResult result =
      testing_support::compareWithReference(20261208 + GetParam(), 63, 4000);
  ASSERT_TRUE(result.same) << result.mismatch;
  const testing_support::ComparisonCoverage& c = result.coverage;
  EXPECT_EQ(c.ticks, 252'000u);
  // Worlds that never reach a path prove nothing about it.
  EXPECT_GT(c.runsForced, 12u);
  EXPECT_GT(c.runsHold, 5u);
  EXPECT_GT(c.runsJunk, 12u);
  EXPECT_GT(c.latchesTurnedOn, 750u);
  EXPECT_GT(c.latchedTicks, 15'000u);
  EXPECT_GT(c.cameraCancels, 250u);
  EXPECT_GT(c.suppressedTicks, 2'500u);
  EXPECT_GT(c.failedWeaponQueries, 2'500u);
  EXPECT_GT(c.wrapReleases, 250u);
  std::printf(
      "ticks %llu, turned on %llu, latched %llu, cancels %llu, suppressed %llu, failed weapon "
      "queries %llu, wrap releases %llu, runs forced/hold/junk %llu/%llu/%llu\n",
      static_cast<unsigned long long>(c.ticks), static_cast<unsigned long long>(c.latchesTurnedOn),
      static_cast<unsigned long long>(c.latchedTicks),
      static_cast<unsigned long long>(c.cameraCancels),
      static_cast<unsigned long long>(c.suppressedTicks),
      static_cast<unsigned long long>(c.failedWeaponQueries),
      static_cast<unsigned long long>(c.wrapReleases),
      static_cast<unsigned long long>(c.runsForced), static_cast<unsigned long long>(c.runsHold),
      static_cast<unsigned long long>(c.runsJunk));
}

INSTANTIATE_TEST_SUITE_P(AQuarterOfAMillionTicks, RandomizedComparison,
                         testing::Values(0, 1, 2, 3));

}  // namespace
