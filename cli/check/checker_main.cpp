// KestovaCheck: the player's checker. Double-clicked in the game's folder it checks that folder;
// a file or folder dropped on it (or named on its command line) is checked instead.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/check/check_command.h"
#include "cli/check/console.h"
#include "cli/check/folder_check.h"
#include "cli/exit_status.h"
#include "kestova_version.h"

namespace {

const char kUsage[] =
    "usage: KestovaCheck [FOLDER | SETTINGS-FILE]\n"
    "  Checks a game folder for the Kestova plugin: Kestova.dll, the script-hook host beside it,\n"
    "  Kestova.ini and what the plugin will make of it. Without an argument it checks the\n"
    "  folder it is started in; a settings file given (or dropped on it) is checked alone.\n"
    "  --version  print the version\n"
    "Exit status: 0 no problems, 1 warnings, 2 cannot read.\n";

int run(const std::vector<std::string>& arguments) {
  if (arguments.size() > 2) {
    cli::writeText(stderr, "KestovaCheck: give one folder or settings file (see --help)\n");
    return exitCode(cli::ExitStatus::badInput);
  }
  if (arguments.size() < 2) {
    return cli::printCheck(cli::checkPath(std::string(".")), stdout, stderr);
  }
  const std::string& argument = arguments[1];
  if (argument == "--version") {
    cli::writeText(stdout, "KestovaCheck " KESTOVA_VERSION "\n");
    return exitCode(cli::ExitStatus::success);
  }
  if (argument == "--help" || argument == "-h" || argument == "/?") {
    cli::writeText(stdout, kUsage);
    return exitCode(cli::ExitStatus::success);
  }
  if (argument.empty() || argument.rfind("--", 0) == 0) {
    cli::writeText(stderr, "KestovaCheck: unknown option " + argument + " (see --help)\n");
    return exitCode(cli::ExitStatus::badInput);
  }
  return cli::printCheck(cli::checkPath(argument), stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
  cli::useUtf8Output();
  const int status = run(cli::utf8Arguments(argc, argv));
  // A window Windows opened for a double-click would close before the player could read it.
  if (cli::ownsConsoleWindow()) cli::waitForEnter(stdout);
  return status;
}
