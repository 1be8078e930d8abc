// After the tap advice, its suggestion written into the settings file, in three steps that each
// run without a console: deciding what the new file would be, or why it cannot be written;
// asking the player; writing it and reading it back with the same reader as the check.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/check/findings.h"
#include "cli/check/settings_writer.h"
#include "cli/check/tap_advice.h"
#include "common/exit_status.h"

namespace cli {

class Machine;  // machine.h

enum class WriteChoice {
  no,   // show the suggestion only
  yes,  // write it (kestova-sim check --write)
  ask,  // ask the player first, and write only on a yes
};

// What writing the suggestion would do: the new file's bytes, or why it is not written.
struct WritePlan {
  std::vector<SettingValue> values;  // the lines to set; empty when there is nothing to write
  std::string shown;                 // the settings file, as messages name it
  std::string refusal;               // why it is not written, or empty
  std::string bytes;                 // the new file, when there is no refusal
  bool dropsMark = false;            // ... without the old one's UTF-8 byte-order mark
};

// Reads the settings file the report checked; asked: the player answers, and may have a UTF-8
// byte-order mark removed, which Windows misreads.
WritePlan planWrite(const CheckReport& report, const TapAdvice& advice, bool asked);

// The question, and whether the answer was yes.
bool askToWrite(const WritePlan& plan, Machine& machine, std::FILE* out);

// Writes the plan's bytes, keeping the old file, reads them back and says what the plugin will
// read now. Returns the status of the file read back; on a failure, cannot.
common::ExitStatus writePlan(const CheckReport& report, const WritePlan& plan, Machine& machine,
                             std::FILE* out);

// The advice on the presses, then its suggestion offered as each program offers it. ask: the
// player's checker, with plain words on frames; else kestova-sim, with their counts. Returns the
// check's status, or with a write the status writePlan gives; a refusal of a write asked for on
// the command line, cannot.
common::ExitStatus tapAdvice(const CheckReport& report, common::ExitStatus checked,
                             const Presses& presses, WriteChoice choice, Machine& machine,
                             std::FILE* out);

}  // namespace cli
