// The product's temporary folder (sim/temp_folder.h) for tests: one that cannot be made or
// written stops the test with the reason, rather than handing it back.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "sim/temp_folder.h"

namespace testing_support {

class TempFolder {
 public:
  enum class Enter { no, yes };
  // A fresh folder; with Enter::yes also the current directory for the object's life.
  explicit TempFolder(Enter enter = Enter::no);

  const std::filesystem::path& path() const { return folder_.path(); }
  // Writes the file, making the folders of its name; returns its full path.
  std::string write(const std::filesystem::path& name, std::string_view bytes) const;

 private:
  sim::TempFolder folder_;
};

// The file's bytes; empty if it cannot be read.
std::string readFile(const std::filesystem::path& path);

}  // namespace testing_support
