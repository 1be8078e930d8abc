// Keyboard events arrive on the host's input thread, not the script's: the plugin and the host
// must take them at any moment, also while the script ticks and while the library comes and goes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/contract.h"
#include "tests/plugin_harness.h"

using testing_support::PluginHarness;
using testing_support::settingsIni;

namespace {

// Sends events with every kind of key code and argument until told to stop.
class KeyboardThread {
 public:
  explicit KeyboardThread(sim::SimulatedHost& host)
      : thread_([this, &host] {
          for (uint32_t i = 0; !stop_.load(std::memory_order_relaxed); ++i) {
            const uint32_t key = i % 3 == 0 ? i : i % 300;
            host.sendKeyboardEvent(key, static_cast<uint16_t>(i), static_cast<uint8_t>(i),
                                   -static_cast<int32_t>(i % 1000), static_cast<int32_t>(i),
                                   INT32_MIN, INT32_MAX);
            sent_.fetch_add(1, std::memory_order_relaxed);
          }
        }) {}
  ~KeyboardThread() { stop(); }
  uint64_t stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return sent_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> sent_{0};
  std::thread thread_;
};

}  // namespace

TEST(Concurrency, KeyboardEventsFromAnotherThreadLeaveTheScriptsWorkUntouched) {
  PluginHarness harness(settingsIni(50, 100, 0));
  harness.host().trace().entries.clear();
  KeyboardThread keyboard(harness.host());
  sim::TickInputs inputs;
  bool latch = false;
  for (uint32_t t = 0; t < 20000; ++t) {
    inputs.timerReads = {t * 16};
    inputs.aimDown = t % 40 == 0;
    inputs.aimUp = t % 40 == 4;  // 64 units after each press: a tap
    const sim::TickSummary tick = harness.step(inputs);
    if (t % 40 == 4) latch = !latch;
    ASSERT_EQ(tick.latch, latch) << t;
  }
  EXPECT_GT(keyboard.stop(), 0u);
  EXPECT_TRUE(harness.host().protocolErrors().empty());
}

TEST(Concurrency, KeyboardEventsDuringLoadAndUnloadNeverReachAGoneLibrary) {
  sim::SimulatedHost host;
  KeyboardThread keyboard(host);
  testing_support::loadAndUnload(host, 200, [&](int) { host.tick(); });
  EXPECT_GT(keyboard.stop(), 0u);
}

TEST(Concurrency, HostCallsFromAnotherThreadAreRefusedAndReported) {
  sim::SimulatedHost host;
  host.bind();
  std::thread([] {
    nativeInit(contract::kHostTimer);
    const uint64_t* slot = nativeCall();
    EXPECT_NE(slot, nullptr);
    scriptWait(0);
  }).join();
  const std::vector<std::string> errors = host.protocolErrors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "3 host calls from a thread other than the host's");
}
