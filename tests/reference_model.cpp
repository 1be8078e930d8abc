#include "tests/reference_model.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>

#include "host/host_api.h"

namespace reference {
namespace {

// Runs one native and returns the low 32 bits of its result at once.
uint32_t native(uint64_t hash, std::initializer_list<uint64_t> args = {}) {
  nativeInit(hash);
  for (const uint64_t arg : args) nativePush64(arg);
  return static_cast<uint32_t>(*nativeCall() & 0xFFFFFFFFu);
}

uint64_t address(const void* pointer) {
  return reinterpret_cast<uintptr_t>(pointer);
}

uint32_t hashOf(const char* name) {
  return native(0xFD340785ADF8CFB7, {address(name)});
}

bool wheel() {
  return native(0x4A123E85D7C4CA0B, {address("WheelHUDin")}) != 0;
}

int32_t timer() {
  return static_cast<int32_t>(native(0x4F67E8ECA7D3F667));
}

// (a - b) in 32-bit two's complement, read as signed: done in 64 bits and folded by hand.
int32_t difference(int32_t a, int32_t b) {
  int64_t d = static_cast<int64_t>(a) - static_cast<int64_t>(b);
  if (d > INT32_MAX) d -= INT64_C(1) << 32;
  if (d < INT32_MIN) d += INT64_C(1) << 32;
  return static_cast<int32_t>(d);
}

}  // namespace

void toggleScript() {
  const auto shortPress =
      static_cast<int32_t>(GetPrivateProfileIntA("Settings", "ShortPress", 50, ".\\Kestova.ini"));
  const auto longPress =
      static_cast<int32_t>(GetPrivateProfileIntA("Settings", "LongPress", 100, ".\\Kestova.ini"));
  const bool holdMode = GetPrivateProfileIntA("Settings", "HoldADS", 0, ".\\Kestova.ini") != 0;

  bool latched = false;
  int32_t pressTime = 0;
  bool unarmed = false;
  uint64_t weaponSlot = 0;

  for (;;) {
    // 1. Press watch.
    uint32_t aim = hashOf("INPUT_AIM");
    if (native(0x580417101DDB492F, {25, aim}) != 0 && !wheel()) pressTime = timer();

    // 2. Release watch.
    aim = hashOf("INPUT_AIM");
    if (native(0x50F940259D3841E6, {25, aim}) != 0 && !wheel()) {
      if (difference(timer(), pressTime) >= shortPress) {
        if (difference(timer(), pressTime) < longPress) latched = !latched;
      }
    }

    bool cameraCheck = latched;
    if (holdMode) {
      // 3. Hold mode.
      if (latched) native(0x90DA5BA5C2635416);
    } else {
      // 4. Forced mode.
      uint64_t aimValue = 0;
      if (latched) {
        native(0x90DA5BA5C2635416);
        const uint32_t sprint = hashOf("INPUT_SPRINT");
        const bool sprinting = native(0xF3A21BCD95725A4A, {21, sprint}) != 0;
        aimValue = !sprinting && !unarmed ? 1 : 0;
      }
      const uint32_t aimSubject = native(0x217E9DC48139933D);
      native(0xD5FCC166AEB2FD0F, {aimSubject, aimValue, 0, 0, 1});
      const uint32_t weaponSubject = native(0x096275889B8E0EE0);
      if (native(0x3A87E44BB9A01D54, {weaponSubject, address(&weaponSlot), 0, 0, 0}) != 0) {
        const uint32_t none = hashOf("WEAPON_UNARMED");
        unarmed = (weaponSlot & 0xFFFFFFFFu) == none;
      }
    }

    // 5. Camera cancel.
    if (cameraCheck) {
      const uint32_t camera = hashOf("INPUT_NEXT_CAMERA");
      if (native(0xF3A21BCD95725A4A, {0, camera}) != 0 && !wheel()) latched = false;
    }

    // 6. Yield.
    scriptWait(0);
  }
}

}  // namespace reference
