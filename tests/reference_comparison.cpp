#include "tests/reference_comparison.h"

#include <sstream>

#include "sim/tick_summary.h"
#include "tests/plugin_harness.h"
#include "tests/reference_model.h"

namespace testing_support {
namespace {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t below(uint32_t bound) { return static_cast<uint32_t>(next() % bound); }
  bool chance(double p) { return static_cast<double>(next() >> 11) * 0x1.0p-53 < p; }
  double rate(double high) { return static_cast<double>(below(1000)) / 1000.0 * high; }

 private:
  uint64_t state_;
};

int64_t randomSetting(Random& random, int64_t typical) {
  switch (random.below(10)) {
    case 0:
      return INT32_MIN;
    case 1:
      return INT32_MAX;
    case 2:
      return -static_cast<int64_t>(random.below(200));
    case 3:
      return 0;
    default:
      return typical;
  }
}

// Settings text for one run: usually a plausible window, sometimes extremes, missing keys,
// reversed windows or no file at all.
std::optional<std::string> randomSettings(Random& random) {
  if (random.chance(0.1)) return std::nullopt;
  const int64_t shortPress = randomSetting(random, random.below(80));
  const int64_t longPress = random.chance(0.15) ? randomSetting(random, random.below(80))
                                                : shortPress + 1 + random.below(150);
  const int64_t holdModes[] = {0, 0, 0, 1, 2, -1};
  std::string text = "[Settings]\n";
  if (!random.chance(0.1)) text += "ShortPress=" + std::to_string(shortPress) + "\n";
  if (!random.chance(0.1)) text += "LongPress=" + std::to_string(longPress) + "\n";
  if (!random.chance(0.1)) text += "HoldADS=" + std::to_string(holdModes[random.below(6)]) + "\n";
  return text;
}

// A timer that mostly runs forward by frame-sized steps and now and then jumps back, jumps far,
// or lands just below a wrap point; within a tick the reads may differ, even run backwards.
class RandomTimer {
 public:
  explicit RandomTimer(Random& random)
      : random_(random), clock_(static_cast<uint32_t>(random.next())) {}

  std::vector<uint32_t> tickReads() {
    const uint32_t roll = random_.below(100);
    if (roll < 70) {
      clock_ += random_.below(40);
    } else if (roll < 80) {
      clock_ += random_.below(300);
    } else if (roll < 86) {
      clock_ -= random_.below(200);
    } else if (roll < 94) {
      const uint32_t wraps[] = {0x7FFFFFFFu, 0xFFFFFFFFu};
      clock_ = wraps[random_.below(2)] - random_.below(120);
    } else {
      clock_ = static_cast<uint32_t>(random_.next());
    }
    std::vector<uint32_t> reads{clock_};
    for (int i = 0; i < 2; ++i) {
      const uint32_t step = random_.below(10);
      reads.push_back(step < 6   ? reads.back()
                      : step < 8 ? reads.back() + random_.below(80)
                      : step < 9 ? reads.back() - random_.below(80)
                                 : static_cast<uint32_t>(random_.next()));
    }
    return reads;
  }

 private:
  Random& random_;
  uint32_t clock_;
};

struct InputRates {
  double down, up, sprint, camera, wheel, weaponSwitch, weaponFails;
};

bool sameArgument(const sim::TraceEntry& a, const sim::TraceEntry& b, size_t index) {
  const sim::NativeInfo* native = a.native;
  if (native != nullptr && index < native->argCount) {
    // Addresses differ between the two; what they point at is compared instead.
    if ((native->stringArgs >> index & 1) != 0) return a.text == b.text;
    if (native->hash == contract::kCurrentWeapon && index == 1) {
      return (a.args[1] != 0) == (b.args[1] != 0);
    }
  }
  return a.args[index] == b.args[index];
}

bool sameCall(const sim::TraceEntry& a, const sim::TraceEntry& b) {
  if (a.kind != b.kind || a.hash != b.hash || a.argCount != b.argCount || a.result != b.result ||
      a.outSlot != b.outSlot || a.native != b.native) {
    return false;
  }
  if (a.kind == sim::TraceKind::protocolError && a.text != b.text) return false;
  for (size_t i = 0; i < std::min<size_t>(a.argCount, sim::kMaxTracedArgs); ++i) {
    if (!sameArgument(a, b, i)) return false;
  }
  return true;
}

std::string describeMismatch(const std::vector<sim::TraceEntry>& plugin,
                             const std::vector<sim::TraceEntry>& model) {
  std::ostringstream out;
  out << "  plugin:\n";
  for (const auto& entry : plugin) out << "    " << sim::formatTraceEntry(entry) << "\n";
  out << "  reference:\n";
  for (const auto& entry : model) out << "    " << sim::formatTraceEntry(entry) << "\n";
  return out.str();
}

void count(ComparisonCoverage& coverage, const sim::TickInputs& inputs, bool latchBefore,
           const std::vector<sim::TraceEntry>& calls) {
  const sim::TickSummary summary = sim::summarizeTick(calls);
  ++coverage.ticks;
  coverage.latchedTicks += summary.latch;
  coverage.failedWeaponQueries += inputs.weaponQueryFails;
  coverage.suppressedTicks += summary.latch && summary.forcedAim == false;
  bool flipped = false;
  for (const sim::TraceEntry& entry : calls) {
    if (entry.native == nullptr) continue;
    if (entry.hash == contract::kPerFrameHold) flipped = !latchBefore;
    if (entry.hash == contract::kForcedAim && !latchBefore) flipped = entry.args[1] != 0;
  }
  coverage.latchesTurnedOn += flipped;
  coverage.cameraCancels += latchBefore && !summary.latch && inputs.nextCamera;
  if (inputs.aimUp && inputs.timerReads.size() >= 2 &&
      ((inputs.timerReads[0] ^ inputs.timerReads[1]) & 0x80000000u) != 0) {
    ++coverage.wrapReleases;
  }
}

}  // namespace

SideBySide::SideBySide(const std::optional<std::string>& ini, sim::HostOptions options)
    : plugin_(ini, options), model_(options) {
  model_.addScript(nullptr, &reference::toggleScript);
}

bool SideBySide::tick(const sim::TickInputs& inputs, std::string& mismatch) {
  model_.inputs() = inputs;
  model_.trace().entries.clear();
  model_.tick();
  modelCalls_ = model_.trace().entries;
  const std::vector<sim::TraceEntry>& pluginCalls = plugin_.tick(inputs);
  bool same = pluginCalls.size() == modelCalls_.size();
  for (size_t i = 0; same && i < pluginCalls.size(); ++i) {
    same = sameCall(pluginCalls[i], modelCalls_[i]);
  }
  if (!same) mismatch = describeMismatch(pluginCalls, modelCalls_);
  return same;
}

bool SideBySide::protocolKept() const {
  return plugin_.host().protocolErrors().empty() && model_.protocolErrors().empty();
}

ComparisonResult compareWithReference(uint64_t seed, int runs, int ticksPerRun) {
  ComparisonResult result;
  Random random(seed);
  for (int run = 0; run < runs && result.same; ++run) {
    const std::optional<std::string> ini = randomSettings(random);
    sim::HostOptions options{random.chance(0.5), random.next()};
    const InputRates rates{random.rate(0.3), random.rate(0.3), random.rate(0.4), random.rate(0.15),
                           random.rate(0.3), random.rate(0.2), random.rate(0.3)};
    SideBySide pair(ini, options);
    result.coverage.runsJunk += options.junkResults;

    RandomTimer timer(random);
    sim::TickInputs inputs;
    bool latched = false;
    bool forced = false;
    for (int t = 0; t < ticksPerRun; ++t) {
      inputs.aimDown = random.chance(rates.down);
      inputs.aimUp = random.chance(rates.up);
      inputs.sprint = random.chance(rates.sprint);
      inputs.nextCamera = random.chance(rates.camera);
      inputs.wheel = random.chance(rates.wheel);
      if (random.chance(rates.weaponSwitch)) {
        inputs.weapon = random.chance(0.5) ? "WEAPON_UNARMED" : "WEAPON_PISTOL";
      }
      inputs.weaponQueryFails = random.chance(rates.weaponFails);
      inputs.timerReads = timer.tickReads();

      std::string mismatch;
      if (!pair.tick(inputs, mismatch)) {
        result.same = false;
        result.mismatch = "seed " + std::to_string(seed) + ", run " + std::to_string(run) +
                          ", tick " + std::to_string(t + 1) + ":\n" + mismatch;
        break;
      }
      count(result.coverage, inputs, latched, pair.pluginCalls());
      const sim::TickSummary summary = sim::summarizeTick(pair.pluginCalls());
      latched = summary.latch;
      forced = forced || summary.forcedAim.has_value();
    }
    (forced ? result.coverage.runsForced : result.coverage.runsHold) += 1;
    if (result.same && !pair.protocolKept()) {
      result.same = false;
      result.mismatch = "protocol errors in run " + std::to_string(run);
    }
  }
  return result;
}

}  // namespace testing_support
