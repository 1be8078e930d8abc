// Running a program as a user does, in a folder of its own, for the tests of kestova-sim's
// commands: its output, its messages and its exit status.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_cli {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes the file, making the folders of its name; returns its full path.
  std::string write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

struct ProgramRun {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

// Runs argv[0] with the given arguments in folder, its output caught in files there.
ProgramRun runProgram(const TempFolder& folder, const std::vector<std::string>& argv);

std::string readFile(const std::filesystem::path& path);
std::vector<std::string> lines(const std::string& text);
// Whether a program of this name is on the PATH.
bool haveProgram(const std::string& name);

}  // namespace testing_cli
