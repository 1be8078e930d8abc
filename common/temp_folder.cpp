#include "common/temp_folder.h"

#include "common/console.h"

#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <utility>

namespace common {

namespace fs = std::filesystem;

Result<TempFolder> TempFolder::make(std::string_view stem) {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (ec) return Error("no temporary folder: " + ec.message());
  // create_directory fails on a name that exists: a folder made here is this object's alone.
  std::random_device entropy;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = temp / (std::string(stem) + "-" + std::to_string(entropy()));
    if (fs::create_directory(candidate, ec)) return TempFolder(candidate);
    if (ec && !fs::exists(candidate)) {
      return Error("cannot make a folder: " + ec.message(), utf8FromPath(candidate));
    }
  }
  return Error("cannot make a folder of a name not yet taken", utf8FromPath(temp));
}

TempFolder::TempFolder(TempFolder&& other) noexcept
    : path_(std::exchange(other.path_, {})), previous_(std::exchange(other.previous_, {})) {}

TempFolder::~TempFolder() {
  std::error_code ec;
  if (!previous_.empty()) fs::current_path(previous_, ec);
  if (path_.empty()) return;
  // Whoever used the folder may have taken its permissions away; removing needs them back.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

Status TempFolder::enter() {
  std::error_code ec;
  fs::path previous = fs::current_path(ec);
  if (!ec) fs::current_path(path_, ec);
  if (ec) return Error("cannot enter the folder: " + ec.message(), utf8FromPath(path_));
  // Entered twice, the first current directory is the one to go back to.
  if (previous_.empty()) previous_ = std::move(previous);
  return Done{};
}

Result<fs::path> TempFolder::write(const fs::path& name, std::string_view bytes) const {
  const fs::path file = path_ / name;
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Error("cannot write the file", utf8FromPath(file));
  return file;
}

}  // namespace common
