#include "toggle/settings.h"

#include <windows.h>

#include "toggle/settings_file.h"

namespace {

// The reader returns unsigned; the setting is the same 32 bits taken as signed.
int32_t readSetting(const char* key, int32_t fallback) {
  return static_cast<int32_t>(
      GetPrivateProfileIntA(settings_file::kSection, key, fallback, settings_file::kPluginPath));
}

}  // namespace

ToggleSettings readToggleSettings() {
  // One reader call per key, in this order (a braced list runs left to right); nothing cached
  // between them. No zeroing first: unoptimised, that is a memset call, and there is no runtime.
  return {
      .shortPress =
          readSetting(settings_file::kShortPress.name, settings_file::kShortPress.fallback),
      .longPress = readSetting(settings_file::kLongPress.name, settings_file::kLongPress.fallback),
      .holdMode = readSetting(settings_file::kHoldAds.name, settings_file::kHoldAds.fallback) != 0};
}
