#include "toggle/aim_toggle.h"

#include "host/call_native.h"
#include "host/contract.h"
#include "toggle/tap_rule.h"

namespace {

using namespace contract;

uint32_t nameHash(const char* name) {
  return low32(callNative(kNameHash, name));
}

// The name is hashed again at every query: the plugin caches no hash, handle or result.
bool controlQuery(uint64_t native, uint32_t group, const char* control) {
  const uint32_t controlHash = nameHash(control);
  return low32(callNative(native, group, controlHash)) != 0;
}

bool wheelActive() {
  return low32(callNative(kNamedStateActive, kWheelState)) != 0;
}

// A fresh timer read minus the press time.
int32_t elapsedSincePress(int32_t pressTime) {
  return tap_rule::elapsedSince(static_cast<uint32_t>(pressTime), low32(callNative(kHostTimer)));
}

void sendForcedAim(bool aimOn) {
  // The subject handle is asked for right before each use; an older one may be stale.
  const uint32_t subject = low32(callNative(kForcedAimSubject));
  callNative(kForcedAim, subject, aimOn ? 1u : 0u, 0u, 0u, 1u);
}

void refreshUnarmed(AimToggleState& state) {
  const uint32_t subject = low32(callNative(kWeaponQuerySubject));
  // On failure the slot may hold anything, so it is read only after a nonzero result.
  if (low32(callNative(kCurrentWeapon, subject, &state.weaponSlot, 0u, 0u, 0u)) != 0) {
    const uint32_t unarmedHash = nameHash(kUnarmedWeapon);
    state.unarmed = static_cast<uint32_t>(state.weaponSlot) == unarmedHash;
  }
}

}  // namespace

void runToggleTick(const ToggleSettings& settings, AimToggleState& state) {
  if (controlQuery(kControlWentDown, kAimGroup, kAimControl) && !wheelActive()) {
    state.pressTime = static_cast<int32_t>(low32(callNative(kHostTimer)));
  }
  // Two timer reads, one per end of the tap window.
  if (controlQuery(kControlCameUp, kAimGroup, kAimControl) && !wheelActive() &&
      tap_rule::reachesShortPress(elapsedSincePress(state.pressTime), settings) &&
      tap_rule::belowLongPress(elapsedSincePress(state.pressTime), settings)) {
    state.latched = !state.latched;
  }

  if (settings.holdMode) {
    if (!state.latched) return;
    callNative(kPerFrameHold);
  } else {
    bool aimOn = false;
    if (state.latched) {
      callNative(kPerFrameHold);
      const bool sprinting = controlQuery(kControlActive, kSprintGroup, kSprintControl);
      aimOn = !sprinting && !state.unarmed;
    }
    sendForcedAim(aimOn);
    // Seen after this tick's forcedAim: a weapon change acts from the next tick on.
    refreshUnarmed(state);
    if (!state.latched) return;
  }

  if (controlQuery(kControlActive, kCameraGroup, kCameraControl) && !wheelActive()) {
    state.latched = false;
  }
}

void runToggleLoop() {
  const ToggleSettings settings = readToggleSettings();
  // Member by member: unoptimised, a zeroing initialiser is a memset call, and the plugin links
  // no runtime to provide one.
  AimToggleState state;
  state.latched = false;
  state.pressTime = 0;
  state.unarmed = false;
  state.weaponSlot = 0;
  for (;;) {
    runToggleTick(settings, state);
    scriptWait(0);
  }
}
