// The profile reader is in profile/ now. This name stays for cli/settings_text.h until it
// includes profile/profile_reader.h; then it goes.
#pragma once

#include "profile/profile_reader.h"
