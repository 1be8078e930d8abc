// The product's temporary folder (common/temp_folder.h) in tests: one that cannot be made or
// written stops the test with the reason, rather than handing it back.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/temp_folder.h"

namespace testing_support {

enum class Enter { no, yes };

// A fresh folder; with Enter::yes also the current directory for the object's life.
common::TempFolder tempFolder(Enter enter = Enter::no);

// Writes the file, making the folders of its name; returns its full path.
std::string writeFile(const common::TempFolder& folder, const std::filesystem::path& name,
                      std::string_view bytes);

// The file's bytes; empty if it cannot be read.
std::string readFile(const std::filesystem::path& path);

}  // namespace testing_support
