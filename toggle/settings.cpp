#include "toggle/settings.h"

#include <windows.h>

int32_t readSetting(const settings_file::Key& key) {
  // The reader returns unsigned; the setting is the same 32 bits taken as signed.
  return static_cast<int32_t>(
      GetPrivateProfileIntA(settings_file::kSection, key.name, key.fallback, settings_file::kPath));
}

// Every member is some key's: the loop below leaves none unset.
static_assert(sizeof(ToggleSettings) == settings_file::kKeyCount * sizeof(int32_t));

ToggleSettings readToggleSettings() {
  // One reader call per key, in the table's order; nothing cached between them. Each member is
  // its key's, so every one is set; none is zeroed first: unoptimised, that is a memset call,
  // and there is no runtime.
  ToggleSettings settings;
  for (const settings_file::Key& key : settings_file::kKeys)
    settings.*key.member = readSetting(key);
  // cppcheck-suppress uninitStructMember
  return settings;
}
