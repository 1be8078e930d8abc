// A fresh folder of its own under the system's temporary folder, removed with all it holds when
// the object goes: where kestova-sim runs the plugin beside the scenario's settings file, and
// where the tests and benchmarks do the same.
#pragma once

#include <filesystem>
#include <string_view>
#include <utility>

#include "common/result.h"

namespace common {

class TempFolder {
 public:
  // A new, empty folder named "<stem>-<random digits>".
  static Result<TempFolder> make(std::string_view stem);

  TempFolder(TempFolder&& other) noexcept;
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Leaves the folder first if it is the current directory through enter().
  ~TempFolder();

  const std::filesystem::path& path() const { return path_; }

  // Makes the folder the current directory until the object goes; the plugin reads its settings
  // from there.
  Status enter();
  // Writes a file with exactly these bytes, making the folders of its name; returns its path.
  Result<std::filesystem::path> write(const std::filesystem::path& name,
                                      std::string_view bytes) const;

 private:
  explicit TempFolder(std::filesystem::path path) : path_(std::move(path)) {}

  std::filesystem::path path_;
  std::filesystem::path previous_;  // the current directory before enter(), if entered
};

}  // namespace common
