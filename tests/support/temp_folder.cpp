#include "tests/support/temp_folder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace testing_support {
namespace {

template <typename T>
T orThrow(sim::Result<T> result) {
  if (!result) {
    const sim::Error& error = result.error();
    throw std::runtime_error(error.where.empty() ? error.message
                                                 : error.where + ": " + error.message);
  }
  return std::move(result).value();
}

}  // namespace

TempFolder::TempFolder(Enter enter) : folder_(orThrow(sim::TempFolder::make("kestova-test"))) {
  if (enter == Enter::yes) orThrow(folder_.enter());
}

std::string TempFolder::write(const std::filesystem::path& name, std::string_view bytes) const {
  return orThrow(folder_.write(name, bytes)).string();
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
