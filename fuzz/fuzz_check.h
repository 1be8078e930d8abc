// A check that holds in every build type: a fuzz finding must stop the run loudly.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                   \
  do {                                                               \
    if (!(condition)) {                                              \
      std::fprintf(stderr, "fuzz check failed: %s\n  ", #condition); \
      std::fprintf(stderr, __VA_ARGS__);                             \
      std::fprintf(stderr, "\n");                                    \
      std::abort();                                                  \
    }                                                                \
  } while (false)
