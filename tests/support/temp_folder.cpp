#include "tests/support/temp_folder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace testing_support {
namespace {

template <typename T>
T orThrow(common::Result<T> result) {
  if (!result) {
    const common::Error& error = result.error();
    throw std::runtime_error(error.where.empty() ? error.message
                                                 : error.where + ": " + error.message);
  }
  return std::move(result).value();
}

}  // namespace

common::TempFolder tempFolder(Enter enter) {
  common::TempFolder folder = orThrow(common::TempFolder::make("kestova-test"));
  if (enter == Enter::yes) orThrow(folder.enter());
  return folder;
}

std::string writeFile(const common::TempFolder& folder, const std::filesystem::path& name,
                      std::string_view bytes) {
  return orThrow(folder.write(name, bytes)).string();
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
