// The exit statuses of the project's programs, in this one place. A status keeps its number
// for scripts that test it; the names say what each program means by it.
#pragma once

namespace common {

enum class ExitStatus : int {
  success = 0,         // done; for check, the file works as written
  protocolErrors = 1,  // run: the plugin broke the host protocol
  warnings = 1,        // check: findings worth a look (a missing file too)
  badInput = 2,        // bad command line or scenario: nothing was run
  unreadable = 2,      // check: the settings file cannot be read at all
};

inline int exitCode(ExitStatus status) {
  return static_cast<int>(status);
}

}  // namespace common
