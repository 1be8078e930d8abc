// kestova-sim: runs the plugin in the simulated host on a scenario and shows what it did, or
// checks a settings file or a game folder.
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "cli/check/check_command.h"
#include "cli/check/tap_check.h"
#include "cli/command_line.h"
#include "cli/run/run_command.h"
#include "common/console.h"

namespace {

common::ExitStatus run(int argc, char** argv) {
  // UTF-8 whatever the system's code page, so that a folder named ゲーム or Jörg works.
  const std::vector<std::string> arguments = common::utf8Arguments(argc, argv);
  std::vector<const char*> words;
  words.reserve(arguments.size());
  for (const std::string& argument : arguments) words.push_back(argument.c_str());

  const common::Result<cli::Command> command =
      cli::parseCommandLine(static_cast<int>(words.size()), words.data());
  if (!command) {
    common::writeError(stderr, command.error(), cli::kProgramName);
    return common::ExitStatus::badInput;
  }
  if (const auto* shown = std::get_if<cli::ShowText>(&*command)) {
    common::writeText(stdout, shown->text);
    return common::ExitStatus::success;
  }
  if (const auto* check = std::get_if<cli::CheckArguments>(&*command)) {
    cli::Machine& machine = cli::thisMachine();
    const common::Result<cli::CheckReport> report = cli::checkPath(check->path, machine);
    const common::ExitStatus status = cli::printCheck(report, stdout, stderr, cli::kProgramName);
    if (!report || check->taps.empty()) return status;
    return cli::tapCheck(*report, status, {check->taps, check->holds},
                         check->write ? cli::WriteChoice::yes : cli::WriteChoice::no, machine,
                         stdout, stderr, cli::kProgramName);
  }
  return cli::runCommand(std::get<cli::RunArguments>(*command));
}

}  // namespace

int main(int argc, char** argv) {
  common::useUtf8Output();
  return exitCode(run(argc, argv));
}
