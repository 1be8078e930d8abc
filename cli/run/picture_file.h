// Where --svg puts the run's picture: checked, opened and tried before the run, so that a
// picture that cannot be written costs no run and no table; written once, at the end.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "common/result.h"

namespace cli {

class PictureFile {
 public:
  // scenarioPath: the picture may not overwrite the scenario it is drawn from.
  static common::Result<PictureFile> open(const std::string& path,
                                          const std::optional<std::string>& scenarioPath);
  PictureFile(PictureFile&&) noexcept = default;
  PictureFile& operator=(PictureFile&&) noexcept = default;
  ~PictureFile();

  // The whole picture, once. Its error names the file and says why.
  common::Status write(const std::string& svg);

 private:
  struct Close {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  PictureFile(std::string path, std::unique_ptr<std::FILE, Close> file, bool regular);
  common::Error failure(const std::string& what) const;

  std::string path_;
  std::unique_ptr<std::FILE, Close> file_;
  bool regular_ = false;  // a plain file, removed again if the run draws no picture
};

}  // namespace cli
