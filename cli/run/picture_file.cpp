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

PictureFile::PictureFile(std::string path, std::unique_ptr<std::FILE, Close> file, bool regular)
    : path_(std::move(path)), file_(std::move(file)), regular_(regular) {}

PictureFile::~PictureFile() {
  if (!file_) return;
  file_.reset();
  std::error_code ec;
  if (regular_) fs::remove(path_, ec);
}

common::Error PictureFile::failure(const std::string& what) const {
  return common::Error(what, path_);
}

common::Result<PictureFile> PictureFile::open(const std::string& path,
                                              const std::optional<std::string>& scenarioPath) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return common::Error("is a folder", path);
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) {
    return common::Error("there is no folder " + folder.string(), path);
  }
  if (scenarioPath && fs::equivalent(path, *scenarioPath, ec)) {
    return common::Error("is the scenario itself", path);
  }
  errno = 0;
  std::unique_ptr<std::FILE, Close> file(std::fopen(path.c_str(), "wb"));
  if (!file) return common::Error("cannot write the picture here" + why(errno), path);
  PictureFile picture(path, std::move(file), fs::is_regular_file(path, ec));
  // A device that takes no bytes (/dev/full) shows it only on a write.
  errno = 0;
  if (std::fputc(kFirstByte, picture.file_.get()) == EOF || std::fflush(picture.file_.get()) != 0) {
    return picture.failure("cannot write the picture here" + why(errno));
  }
  return picture;
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
  return failure("cannot write the picture" + why(cause));
}

}  // namespace cli
