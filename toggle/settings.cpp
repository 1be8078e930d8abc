#include "toggle/settings.h"

#include <windows.h>

namespace {

const char kSettingsFile[] = ".\\Kestova.ini";
const char kSection[] = "Settings";

// The reader returns unsigned; the setting is the same 32 bits taken as signed.
int32_t readSetting(const char* key, int32_t fallback) {
  return static_cast<int32_t>(GetPrivateProfileIntA(kSection, key, fallback, kSettingsFile));
}

}  // namespace

ToggleSettings readToggleSettings() {
  // One reader call per key, in this order (a braced list runs left to right); nothing cached
  // between them. No zeroing first: unoptimised, that is a memset call, and there is no runtime.
  return {.shortPress = readSetting("ShortPress", 50),
          .longPress = readSetting("LongPress", 100),
          .holdMode = readSetting("HoldADS", 0) != 0};
}
