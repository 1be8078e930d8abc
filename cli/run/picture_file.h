// Where --svg puts the run's picture: checked, opened and tried before the run, so that a
// picture that cannot be written costs no run and no table; written once, at the end.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "common/result.h"

namespace cli {

class PictureFile {
 public:
  explicit PictureFile(std::string path) : path_(std::move(path)) {}
  ~PictureFile();

  // Before the run. scenarioPath: the picture may not overwrite the scenario it is drawn from.
  common::Status open(const std::optional<std::string>& scenarioPath);
  // The whole picture, once. Its error names the file and says why.
  common::Status write(const std::string& svg);

 private:
  struct Close {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::string path_;
  std::unique_ptr<std::FILE, Close> file_;
  bool regular_ = false;  // a plain file, removed again if the run draws no picture
};

}  // namespace cli
