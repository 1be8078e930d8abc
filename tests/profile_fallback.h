// The default the profile reader's tests ask for.
#pragma once

#include <cstdint>

namespace testing_support {

// Distinct from every value the tests expect, so a default is never mistaken for a read.
inline constexpr int32_t kFallback = 1234;

}  // namespace testing_support
