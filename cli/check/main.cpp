// KestovaCheck: the player's checker. Double-clicked in the game's folder it checks that folder;
// a file or folder dropped on it (or named on its command line) is checked instead.
#include "cli/check/machine.h"
#include "cli/check/player_window.h"
#include "common/console.h"

int main(int argc, char** argv) {
  common::useUtf8Output();
  return exitCode(
      cli::runChecker(common::utf8Arguments(argc, argv), cli::thisMachine(), stdout, stderr));
}
