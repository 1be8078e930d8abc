// After a check, "does my tap count?": what the settings make of the player's taps and holds,
// the suggestion, and, only when asked, the suggestion written into the settings file and read
// back with the same reader as the check.
#pragma once

#include <cstdio>
#include <string>

#include "cli/check/check_command.h"
#include "cli/check/machine.h"
#include "cli/check/tap_advice.h"
#include "common/exit_status.h"

namespace cli {

enum class WriteChoice {
  no,   // show the suggestion only
  yes,  // write it (kestova-sim check --write)
  ask,  // ask the player first, and write only on a yes
};

// The report is a check's of a settings file or a game folder, which ended with checked. Returns
// how it all went: after a write, the status of the file read back; a write asked for on the
// command line and refused or failed, "cannot"; else the check's.
common::ExitStatus tapCheck(const CheckReport& report, common::ExitStatus checked,
                            const Presses& presses, WriteChoice write, Machine& machine,
                            std::FILE* out, std::FILE* err, const std::string& program);

}  // namespace cli
