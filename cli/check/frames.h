// The game sees a press in whole frames: its length reads as a whole number of frames, up to a
// frame longer or shorter than the press itself. The frame rates the check and the tap advice
// count with, fastest first; for the explainer, the step a press is read in at the fastest.
#pragma once

#include <cstdint>
#include <iterator>

namespace cli {

inline constexpr int kFrameRates[] = {60, 30};
inline constexpr int kSlowestFrameRate = kFrameRates[std::size(kFrameRates) - 1];

// One frame at the fastest rate, in whole milliseconds rounded up: 17.
inline constexpr int64_t kFastestFrameMs = (1000 + kFrameRates[0] - 1) / kFrameRates[0];

}  // namespace cli
