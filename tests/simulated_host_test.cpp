// The simulated host's strictness: what makes a plugin fault show instead of passing unnoticed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "host/contract.h"
#include "sim/simulated_host.h"

namespace {

using namespace contract;
using ::testing::Contains;
using ::testing::HasSubstr;

// The body of the script under test; the script yields once after it, every tick.
std::function<void()> body;
void script() {
  for (;;) {
    body();
    scriptWait(0);
  }
}

uint64_t* call(uint64_t hash, std::initializer_list<uint64_t> args = {}) {
  nativeInit(hash);
  for (const uint64_t arg : args) nativePush64(arg);
  return nativeCall();
}

uint64_t addressOf(const void* p) {
  return reinterpret_cast<uintptr_t>(p);
}

struct ScriptedHost {
  explicit ScriptedHost(std::function<void()> run, sim::HostOptions options = {}) : host(options) {
    body = std::move(run);
    host.addScript(nullptr, &script);
  }
  sim::SimulatedHost host;
};

}  // namespace

TEST(SimulatedHost, AResultSlotIsOverwrittenByTheNextHostCall) {
  uint64_t before = 0;
  uint64_t after = 0;
  ScriptedHost scripted([&] {
    const uint64_t* slot = call(kHostTimer);
    before = *slot;
    nativeInit(kHostTimer);
    after = *slot;
    nativeCall();
  });
  scripted.host.inputs().timerReads = {1234};
  scripted.host.tick();
  EXPECT_EQ(before, 1234u);
  EXPECT_NE(after, 1234u);
  EXPECT_TRUE(scripted.host.protocolErrors().empty());
}

TEST(SimulatedHost, JunkModeFillsHighHalvesAndMakesTruthAnyNonzeroValue) {
  std::vector<uint64_t> results;
  ScriptedHost scripted(
      [&] {
        results.push_back(*call(kHostTimer));
        results.push_back(*call(kNameHash, {addressOf(kWheelState)}));
        results.push_back(*call(kNamedStateActive, {addressOf(kWheelState)}));
      },
      sim::HostOptions{true, 3});
  scripted.host.inputs().timerReads = {77};
  scripted.host.inputs().wheel = true;
  for (int i = 0; i < 20; ++i) scripted.host.tick();
  size_t highJunk = 0;
  size_t truthNotOne = 0;
  for (size_t i = 0; i < results.size(); i += 3) {
    EXPECT_EQ(static_cast<uint32_t>(results[i]), 77u);
    EXPECT_EQ(static_cast<uint32_t>(results[i + 1]), sim::simNameHash(kWheelState));
    EXPECT_NE(static_cast<uint32_t>(results[i + 2]), 0u);
    highJunk += (results[i] >> 32) != 0;
    truthNotOne += static_cast<uint32_t>(results[i + 2]) != 1;
  }
  EXPECT_GT(highJunk, 15u);
  EXPECT_GT(truthNotOne, 15u);
}

TEST(SimulatedHost, TimerReadsFollowTheTicksSequenceAndRepeatItsLastValue) {
  std::vector<int32_t> reads;
  ScriptedHost scripted([&] {
    for (int i = 0; i < 4; ++i) reads.push_back(static_cast<int32_t>(*call(kHostTimer)));
  });
  scripted.host.inputs().timerReads = {10, 5, 0xFFFFFFFDu};
  scripted.host.tick();
  EXPECT_EQ(reads, (std::vector<int32_t>{10, 5, -3, -3}));
}

TEST(SimulatedHost, ProtocolFaultsAreRecorded) {
  struct Fault {
    const char* name;
    std::function<void()> run;
    const char* message;
  };
  const std::vector<Fault> faults = {
      {"wrong argument count", [] { call(kHostTimer, {1}); }, "takes 0 arguments, got 1"},
      {"call without init", [] { nativeCall(); }, "nativeCall without nativeInit"},
      {"push without init", [] { nativePush64(1); }, "nativePush64 without nativeInit"},
      {"init twice",
       [] {
         nativeInit(kHostTimer);
         nativeInit(kHostTimer);
         nativeCall();
       },
       "before the previous native"},
      {"unknown native", [] { call(0x1234); }, "unknown native"},
      {"stale aim subject",
       [] {
         const auto handle = static_cast<uint32_t>(*call(kForcedAimSubject));
         call(kHostTimer);
         call(kForcedAim, {handle, 1, 0, 0, 1});
       },
       "forcedAim with a subject handle"},
      {"weapon handle from the wrong subject",
       [] {
         uint64_t slot = 0;
         const auto handle = static_cast<uint32_t>(*call(kForcedAimSubject));
         call(kCurrentWeapon, {handle, addressOf(&slot), 0, 0, 0});
       },
       "currentWeapon with a subject handle"},
      {"junk in a handle's high half",
       [] {
         const uint64_t handle = *call(kForcedAimSubject) | 0xABCD00000000ull;
         call(kForcedAim, {handle, 1, 0, 0, 1});
       },
       "forcedAim with a subject handle"},
      {"registration from the script", [] { keyboardHandlerRegister(nullptr); }, "outside DllMain"},
  };
  for (const Fault& fault : faults) {
    ScriptedHost scripted(fault.run);
    scripted.host.tick();
    EXPECT_THAT(scripted.host.protocolErrors(), Contains(HasSubstr(fault.message))) << fault.name;
  }
}

TEST(SimulatedHost, ARegistrationWithAnotherModulesHandleIsCaughtWithTheTraceOnOrOff) {
  for (const bool traced : {true, false}) {
    sim::SimulatedHost host;
    host.trace().enabled = traced;
    int own = 0;
    int other = 0;
    host.beginLoaderCall(nullptr);
    host.scriptRegister(reinterpret_cast<HINSTANCE>(&other), [] {});
    host.endLoaderCall(reinterpret_cast<HINSTANCE>(&own));
    EXPECT_THAT(host.protocolErrors(), Contains(HasSubstr("a handle other than its module's")))
        << (traced ? "traced" : "untraced");
  }
}

TEST(SimulatedHost, HostCallsOutsideTheScriptAreProtocolErrors) {
  sim::SimulatedHost host;
  host.bind();
  call(kHostTimer);
  scriptWait(0);
  ASSERT_EQ(host.protocolErrors().size(), 3u);
  EXPECT_EQ(host.protocolErrors()[0], "nativeInit called outside the script");
  EXPECT_EQ(host.protocolErrors()[2], "scriptWait called outside the script");
}

TEST(SimulatedHost, AFailedWeaponQueryLeavesJunkAndTheSlotsHighHalfIsAlwaysJunk) {
  uint64_t slot = 0;
  std::vector<uint64_t> seen;
  std::vector<uint32_t> answers;
  ScriptedHost scripted([&] {
    slot = 0;
    const auto handle = static_cast<uint32_t>(*call(kWeaponQuerySubject));
    answers.push_back(
        static_cast<uint32_t>(*call(kCurrentWeapon, {handle, addressOf(&slot), 0, 0, 0})));
    seen.push_back(slot);
  });
  scripted.host.inputs().weapon = "WEAPON_PISTOL";
  scripted.host.tick();
  EXPECT_EQ(answers.back(), 1u);
  EXPECT_EQ(static_cast<uint32_t>(seen.back()), sim::simNameHash("WEAPON_PISTOL"));
  EXPECT_NE(seen.back() >> 32, 0u);

  scripted.host.inputs().weaponQueryFails = true;
  size_t lookLikeUnarmed = 0;
  for (int i = 0; i < 40; ++i) {
    scripted.host.tick();
    EXPECT_EQ(answers.back(), 0u);
    EXPECT_NE(seen.back(), 0u);
    lookLikeUnarmed += static_cast<uint32_t>(seen.back()) == sim::simNameHash(kUnarmedWeapon);
  }
  EXPECT_GT(lookLikeUnarmed, 5u) << "junk must sometimes look like a real answer";
  EXPECT_TRUE(scripted.host.protocolErrors().empty());
}

TEST(SimulatedHost, AScriptThatReturnsIsDroppedAndReported) {
  sim::SimulatedHost host;
  host.addScript(nullptr, [] {});
  host.tick();
  EXPECT_EQ(host.scriptCount(), 0u);
  ASSERT_EQ(host.protocolErrors().size(), 1u);
  EXPECT_THAT(host.protocolErrors()[0], HasSubstr("returned"));
}
