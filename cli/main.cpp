// kestova-sim: runs the plugin in the simulated host on a scenario and shows what it did, or
// checks a settings file or a game folder.
#include "cli/command_line.h"
#include "common/console.h"

int main(int argc, char** argv) {
  common::useUtf8Output();
  // UTF-8 whatever the system's code page, so that a folder named ゲーム or Jörg works.
  return exitCode(cli::runCommandLine(common::utf8Arguments(argc, argv)));
}
