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
  ToggleSettings settings{};
  // One reader call per key, in this order; nothing cached between them.
  settings.shortPress = readSetting("ShortPress", 50);
  settings.longPress = readSetting("LongPress", 100);
  settings.holdMode = readSetting("HoldADS", 0) != 0;
  return settings;
}
