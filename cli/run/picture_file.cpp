#include "cli/run/picture_file.h"

#include <cassert>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace cli {
namespace {

namespace fs = std::filesystem;

// Every SVG document starts with this byte; the open writes it as its trial.
constexpr char kFirstByte = '<';

std::string why(int cause) {
  return cause != 0 ? " (" + std::generic_category().message(cause) + ")" : "";
}

}  // namespace

PictureFile::~PictureFile() {
  if (!file_) return;
  file_.reset();
  std::error_code ec;
  if (regular_) fs::remove(path_, ec);
}

common::Status PictureFile::open(const std::optional<std::string>& scenarioPath) {
  const auto failure = [this](const std::string& what) { return common::Error(what, path_); };
  std::error_code ec;
  if (fs::is_directory(path_, ec)) return failure("is a folder");
  const fs::path folder = fs::path(path_).parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) {
    return failure("there is no folder " + folder.string());
  }
  if (scenarioPath && fs::equivalent(path_, *scenarioPath, ec)) {
    return failure("is the scenario itself");
  }
  errno = 0;
  file_.reset(std::fopen(path_.c_str(), "wb"));
  if (!file_) return failure("cannot write the picture here" + why(errno));
  regular_ = fs::is_regular_file(path_, ec);
  // A device that takes no bytes (/dev/full) shows it only on a write.
  errno = 0;
  if (std::fputc(kFirstByte, file_.get()) == EOF || std::fflush(file_.get()) != 0) {
    return failure("cannot write the picture here" + why(errno));
  }
  return common::Done{};
}

common::Status PictureFile::write(const std::string& svg) {
  assert(file_ && !svg.empty() && svg.front() == kFirstByte);
  errno = 0;
  const bool written =
      std::fwrite(svg.data() + 1, 1, svg.size() - 1, file_.get()) == svg.size() - 1;
  const bool flushed = std::fflush(file_.get()) == 0;
  const int cause = errno;
  const bool closed = std::fclose(file_.release()) == 0;
  if (written && flushed && closed) return common::Done{};
  std::error_code ec;
  if (regular_) fs::remove(path_, ec);  // no half a picture
  return common::Error("cannot write the picture" + why(cause), path_);
}

}  // namespace cli
