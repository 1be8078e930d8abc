// Ratios of two timings taken in pairs, for comparisons that a shared machine cannot skew.
#pragma once

#include <alloca.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

// Runs `measure` with the stack moved down by `offset` bytes.
template <typename F>
__attribute__((noinline)) void atStackOffset(size_t offset, F& measure) {
  volatile char* pad = static_cast<volatile char*>(alloca(offset + 16));
  pad[0] = 0;
  measure();
}

// The time of `batch` runs of `a` over that of `batch` runs of `b`: a short batch of each, back
// to back, in alternating order, `rounds` times at each of 16 stack positions across a page;
// the median of all the pairs' ratios. A slow spell (a busy sibling thread, a preemption, a
// clock change) falls inside a few pairs and is outvoted, where in two separate measurements
// it would skew one side only. The stack positions matter as much: where the stack lies
// relative to the host's data decides which stores and loads falsely alias (their addresses
// equal modulo 4 KiB), which alone moves a ratio by a tenth, and the kernel places the stack
// at random within a page at each start.
template <typename A, typename B>
double pairedRatio(A&& a, B&& b, int batch, int rounds) {
  const auto time = [batch](auto& run) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < batch; ++i) run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::vector<double> ratios;
  auto measure = [&] {
    time(a);  // warm caches and branch predictors for both
    time(b);
    for (int round = 0; round < rounds; ++round) {
      const bool aFirst = round % 2 == 0;
      const double first = aFirst ? time(a) : time(b);
      const double second = aFirst ? time(b) : time(a);
      ratios.push_back(aFirst ? first / second : second / first);
    }
  };
  for (size_t offset = 0; offset < 4096; offset += 256) atStackOffset(offset, measure);
  const auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
  std::nth_element(ratios.begin(), middle, ratios.end());
  return *middle;
}

}  // namespace bench
