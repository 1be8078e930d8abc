// kestova-sim: runs the plugin in the simulated host on a scenario and shows what it did, or
// checks a settings file or a game folder.
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "cli/check/check_command.h"
#include "cli/check/console.h"
#include "cli/command_line.h"
#include "cli/error_line.h"
#include "cli/exit_status.h"
#include "cli/run/run_command.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // The same bytes on every platform: no CR added before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  // UTF-8 whatever the system's code page, so that a folder named ゲーム or Jörg works.
  const std::vector<std::string> arguments = cli::utf8Arguments(argc, argv);
  std::vector<const char*> words;
  words.reserve(arguments.size());
  for (const std::string& argument : arguments) words.push_back(argument.c_str());

  const sim::Result<cli::Command> command =
      cli::parseCommandLine(static_cast<int>(words.size()), words.data());
  if (!command) {
    cli::printErrorLine(stderr, command.error());
    return exitCode(cli::ExitStatus::badInput);
  }
  if (const auto* shown = std::get_if<cli::ShowText>(&*command)) {
    std::fputs(shown->text.c_str(), stdout);
    return exitCode(cli::ExitStatus::success);
  }
  if (const auto* check = std::get_if<cli::CheckCommand>(&*command)) {
    return cli::runCheck(check->path, stdout, stderr);
  }
  return cli::runCommand(std::get<cli::RunCommand>(*command));
}
