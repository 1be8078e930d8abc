// Reading .\Kestova.ini with the platform's profile reader, key by key.
#pragma once

#include <cstdint>

#include "toggle/settings_file.h"

// One key's value, or its default where the file, the section or the key is missing.
int32_t readSetting(const settings_file::Key& key);

// Every key, in the order of settings_file::kKeys.
ToggleSettings readToggleSettings();
