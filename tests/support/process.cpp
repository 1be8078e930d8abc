#include "tests/support/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

ProgramRun runProgram(const common::TempFolder& folder, const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string outPath = (folder.path() / ".stdout").string();
  const std::string errPath = (folder.path() / ".stderr").string();
  const std::string cwd = folder.path().string();

  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0) {
      _exit(126);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  ProgramRun run;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = readFile(outPath);
  run.err = readFile(errPath);
  return run;
}

bool haveProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && access((fs::path(folder) / name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

}  // namespace testing_support
