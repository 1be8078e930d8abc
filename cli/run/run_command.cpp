#include "cli/run/run_command.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/run/report.h"
#include "common/console.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Every SVG document starts with this byte; the open writes it as its trial.
constexpr char kFirstByte = '<';

std::string why(int cause) {
  return cause != 0 ? " (" + std::generic_category().message(cause) + ")" : "";
}

// Where --svg puts the run's picture: checked, opened and tried before the run, so that a
// picture that cannot be written costs no run and no table; written once, at the end.
class PictureFile {
 public:
  explicit PictureFile(const std::string& path) : path_(common::pathFromUtf8(path)) {}
  ~PictureFile() {
    if (!file_.is_open()) return;
    file_.close();
    std::error_code ec;
    if (regular_) fs::remove(path_, ec);
  }

  // Before the run. scenarioPath: the picture may not overwrite the scenario it is drawn from.
  common::Status open(const std::optional<std::string>& scenarioPath) {
    std::error_code ec;
    if (fs::is_directory(path_, ec)) return failure("is a folder");
    const fs::path folder = path_.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
      return failure("there is no folder " + common::utf8FromPath(folder));
    }
    if (scenarioPath && fs::equivalent(path_, common::pathFromUtf8(*scenarioPath), ec)) {
      return failure("is the scenario itself");
    }
    errno = 0;
    // By the path's own name: on Windows a narrow one would go through the ANSI code page.
    file_.open(path_, std::ios::binary);
    if (!file_.is_open()) return failure("cannot write the picture here" + why(errno));
    regular_ = fs::is_regular_file(path_, ec);
    // A device that takes no bytes (/dev/full) shows it only on a write.
    errno = 0;
    if (!file_.put(kFirstByte).flush()) {
      return failure("cannot write the picture here" + why(errno));
    }
    return common::Done{};
  }

  // The whole picture, once. Its error names the file and says why.
  common::Status write(const std::string& svg) {
    assert(file_.is_open() && !svg.empty() && svg.front() == kFirstByte);
    errno = 0;
    file_.write(svg.data() + 1, static_cast<std::streamsize>(svg.size() - 1)).flush();
    const int cause = errno;
    file_.close();  // a failed close fails the stream too
    if (file_) return common::Done{};
    std::error_code ec;
    if (regular_) fs::remove(path_, ec);  // no half a picture
    return failure("cannot write the picture" + why(cause));
  }

 private:
  common::Error failure(const std::string& what) const {
    return common::Error(what, common::utf8FromPath(path_));
  }

  fs::path path_;
  std::ofstream file_;
  bool regular_ = false;  // a plain file, removed again if the run draws no picture
};

common::ExitStatus fail(const common::Error& error) {
  common::writeError(stderr, error, kProgramName);
  return common::ExitStatus::badInput;
}

// A plugin that breaks the protocol on every tick would bury its one mistake in thousands of
// lines: each distinct message once, in the order first seen, with how often it came.
void printProtocolErrors(const std::string& scenario, const std::vector<std::string>& messages) {
  std::vector<std::pair<std::string, size_t>> distinct;
  for (const std::string& message : messages) {
    const auto seen = std::find_if(distinct.begin(), distinct.end(),
                                   [&](const auto& known) { return known.first == message; });
    if (seen != distinct.end()) {
      ++seen->second;
    } else {
      distinct.emplace_back(message, 1);
    }
  }
  for (const auto& [text, count] : distinct) {
    const std::string times = count > 1 ? " (" + std::to_string(count) + " times)" : "";
    std::fprintf(stderr, "%s: protocol error: %s%s\n", scenario.c_str(), text.c_str(),
                 times.c_str());
  }
}

}  // namespace

common::ExitStatus runCommand(const RunArguments& command) {
  const common::Result<Scenario> scenario = command.scenarioPath
                                                ? loadScenarioFile(*command.scenarioPath)
                                                : parseScenario(kDemoScenario, "demo", "");
  if (!scenario) return fail(scenario.error());

  std::optional<PictureFile> picture;
  if (command.svgPath) {
    picture.emplace(*command.svgPath);
    if (const common::Status opened = picture->open(command.scenarioPath); !opened) {
      return fail(opened.error());
    }
  }

  const std::unique_ptr<RunSink> report =
      command.json ? makeJsonReport(stdout, *scenario)
                   : makeTableReport(stdout, command.trace, scenario->signedTimers);
  const common::Result<RunSummary> run = runScenario(*scenario, command.pluginPath, *report);
  if (!run) return fail(run.error());

  std::fflush(stdout);
  if (run->stopped) common::writeError(stderr, *run->stopped, kProgramName);
  // The picture is drawn from the same records as the table; a run that stopped part way is
  // still worth one, marked as stopped.
  if (picture) {
    if (const common::Status drawn = picture->write(drawTimeline(*scenario, *run)); !drawn) {
      return fail(drawn.error());
    }
  }
  if (run->stopped) return common::ExitStatus::protocolErrors;
  printProtocolErrors(scenario->name, run->protocolErrors);
  return run->protocolErrors.empty() ? common::ExitStatus::success
                                     : common::ExitStatus::protocolErrors;
}

}  // namespace cli
