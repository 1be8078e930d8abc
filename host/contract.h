// The host contract as the plugin uses it: the natives it calls, by hash, the control groups and
// the names it passes. The plugin, the simulated game, the tests and the benchmarks all take
// them from here. Constants only: the plugin links no runtime.
#pragma once

#include <cstdint>

namespace contract {

// The natives, by the hash the host looks them up with.
inline constexpr uint64_t kNameHash = 0xFD340785ADF8CFB7;            // (name) -> hash
inline constexpr uint64_t kControlWentDown = 0x580417101DDB492F;     // (group, control hash)
inline constexpr uint64_t kControlCameUp = 0x50F940259D3841E6;       // (group, control hash)
inline constexpr uint64_t kControlActive = 0xF3A21BCD95725A4A;       // (group, control hash)
inline constexpr uint64_t kNamedStateActive = 0x4A123E85D7C4CA0B;    // (name)
inline constexpr uint64_t kHostTimer = 0x4F67E8ECA7D3F667;           // ()
inline constexpr uint64_t kPerFrameHold = 0x90DA5BA5C2635416;        // ()
inline constexpr uint64_t kForcedAimSubject = 0x217E9DC48139933D;    // () -> handle
inline constexpr uint64_t kForcedAim = 0xD5FCC166AEB2FD0F;           // (handle, on, 0, 0, 1)
inline constexpr uint64_t kWeaponQuerySubject = 0x096275889B8E0EE0;  // () -> handle
inline constexpr uint64_t kCurrentWeapon = 0x3A87E44BB9A01D54;       // (handle, &slot, 0, 0, 0)

// Leading arguments of the control queries; the game gives them their meaning.
inline constexpr uint32_t kAimGroup = 25;
inline constexpr uint32_t kSprintGroup = 21;
inline constexpr uint32_t kCameraGroup = 0;

// Pointers, not arrays: each use is then a plain literal, as if written in place.
inline constexpr const char* kAimControl = "INPUT_AIM";
inline constexpr const char* kSprintControl = "INPUT_SPRINT";
inline constexpr const char* kCameraControl = "INPUT_NEXT_CAMERA";
inline constexpr const char* kWheelState = "WheelHUDin";  // the weapon wheel is open
inline constexpr const char* kUnarmedWeapon = "WEAPON_UNARMED";

}  // namespace contract
